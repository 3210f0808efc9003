#pragma once
// The data files of a folder under tests/ in name order, and rows joined one per line.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::filesystem::path> DataFiles(const std::string& folder, const std::string& extension) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(STOREADJUST_TEST_DATA) / folder)) {
    if (entry.path().extension() == extension) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

inline std::string Joined(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

}  // namespace testsupport
