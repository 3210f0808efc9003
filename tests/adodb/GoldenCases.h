#pragma once
// Reads the golden files tests/tsql/*.test. Each block, separated by blank lines, is:
//   # what the case shows
//   statements, one or more per line, run as one batch (each line as if it ended in ';'); the
//   batch gives the rows of each statement that returns rows, one after the other
//   ----
//   expected rows, columns separated by tabs (NULL, integers, reals as %.15g, text as is)
// A block of refused statements has, after its title and setup statements, one line per refused
// statement: the statement, " => ", a fragment of its error. Each runs alone after the setup, on a
// database of its own.
#include <gtest/gtest.h>

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
      } else if (const std::size_t arrow = line.find(" => "); state != kExpected && arrow != std::string::npos) {
        Case refused = cases.back();
        if (state == kStatements) cases.pop_back();  // the block is no case: its refused statements are
        state = kRefused;
        refused.line = number;
        refused.query = line.substr(0, arrow);
        refused.expected = {"error " + line.substr(arrow + 4)};
        cases.push_back(refused);
      } else if (state == kStatements && line == "----") {
        for (const std::string& statement : cases.back().setup) cases.back().query += statement + ";\n";
        cases.back().setup.clear();
        state = kExpected;
      } else if (state == kStatements) {
        cases.back().setup.push_back(line);
      } else if (state == kExpected) {
        cases.back().expected.push_back(line);
      } else {
        ADD_FAILURE() << path << ":" << number << ": a line among refused statements without \" => \"";
      }
    }
  }
  return cases;
}

}  // namespace golden
