#pragma once
// Reads the golden files tests/tsql/*.test. Each block, separated by blank lines, is:
//   # what the case shows
//   setup statements, one per line (T-SQL, run through Translate), then a line "query"; a block
//   without setup starts with its query
//   the T-SQL query, one or more lines (a batch of several statements gives the rows of each that
//   returns rows, one after the other)
//   ----
//   expected rows, columns separated by tabs (NULL, integers, reals as %.15g, text as is), or
//   error <fragment of the message>
// A block of statements that are refused has "refused" in place of "query" and then one line per
// statement: the statement, " => ", a fragment of its error. Each runs on its own after the setup.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/DataFiles.h"

namespace golden {

struct Case {
  std::string file;
  int line = 0;
  std::string title;
  std::vector<std::string> setup;
  std::string query;
  std::vector<std::string> expected;
};

inline void AddLine(std::string& text, const std::string& line) { text += (text.empty() ? "" : "\n") + line; }

inline std::vector<Case> ReadCases(const std::filesystem::path& path) {
  std::vector<Case> cases;
  std::ifstream in(path);
  enum { kIdle, kSetup, kQuery, kExpected, kRefused } state = kIdle;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty()) {
      state = kIdle;
    } else if (state == kIdle) {
      cases.push_back({path.filename().string(), number, line, {}, {}, {}});
      state = kSetup;
    } else if (state == kSetup && line == "query") {
      state = kQuery;
    } else if (state == kSetup && line == "refused") {
      state = kRefused;
      cases.back().line = 0;  // the block itself is no case: the refused statements below are
    } else if (state == kSetup && line == "----") {
      for (const std::string& statement : cases.back().setup) AddLine(cases.back().query, statement);
      cases.back().setup.clear();
      state = kExpected;
    } else if (state == kSetup) {
      cases.back().setup.push_back(line);
    } else if (state == kQuery) {
      if (line == "----") state = kExpected;
      else AddLine(cases.back().query, line);
    } else if (state == kExpected) {
      cases.back().expected.push_back(line);
    } else {
      const std::size_t arrow = line.find(" => ");
      Case refused = cases.back();
      if (refused.line == 0) cases.pop_back();
      refused.line = number;
      refused.query = line.substr(0, arrow);
      // A line without the arrow expects no error, so it fails instead of matching any message.
      refused.expected = {arrow == std::string::npos ? line : "error " + line.substr(arrow + 4)};
      cases.push_back(refused);
    }
  }
  return cases;
}

inline std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (const auto& file : testsupport::DataFiles("tsql", ".test")) {
    for (Case& c : ReadCases(file)) cases.push_back(std::move(c));
  }
  return cases;
}

}  // namespace golden
