#pragma once
// Reads the golden files tests/tsql/*.test. Each block, separated by blank lines, is:
//   # what the case shows
//   statements, one or more per line, run as one batch (each line as if it ended in ';'); the
//   batch gives the rows of each statement that returns rows, one after the other
//   ----
//   expected rows, columns separated by tabs (NULL, integers, reals as %.15g, text as is)
// A block of refused statements has, after its title and setup statements, a line "refused" and
// then one line per statement: the statement, " => ", a fragment of its error. Each runs alone
// after the setup, on a database of its own.
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

// The cases of every file, in name order.
inline std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (const auto& path : testsupport::DataFiles("tsql", ".test")) {
    std::ifstream in(path);
    enum { kIdle, kStatements, kExpected, kRefused } state = kIdle;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      if (line.empty()) {
        state = kIdle;
      } else if (state == kIdle) {
        cases.push_back({path.filename().string(), number, line, {}, {}, {}});
        state = kStatements;
      } else if (state == kStatements && line == "refused") {
        state = kRefused;
        cases.back().line = 0;  // the block itself is no case: the refused statements below are
      } else if (state == kStatements && line == "----") {
        for (const std::string& statement : cases.back().setup) cases.back().query += statement + ";\n";
        cases.back().setup.clear();
        state = kExpected;
      } else if (state == kStatements) {
        cases.back().setup.push_back(line);
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
  }
  return cases;
}

}  // namespace golden
