// Runs the statement corpus tests/corpus/*.sql: every statement the module builds, with sample
// values from the demo database put in where the module puts its values, through the embedded
// backend's Connection. Each file runs in order on a fresh demo database, so the stock
// statements act on the data the earlier blocks left.
//
// A block (blocks are separated by blank lines; a block without a statement comments the file):
//   # where the statement comes from, in words (one or more lines)
//   the statement, on one line; a statement that begins with "select" is opened as a read-only
//     record set and every row is read, any other statement is executed
//   rows N             optional: the query returns N rows
//   affects N          optional: the statement changes N rows
//   edit R Column V    optional, after a query: opens it editable instead, sets Column of its
//                      1-based row R to the number V and saves the row through the connection
//   expect QUERY       optional, repeatable: QUERY run after the statement returns exactly the
//                      lines that follow, one per row, cells joined by " | " (NULL for NULL)
//   expect             the same for the rows of the statement itself, when it is a query
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "db/DatabaseFactory.h"
#include "support/DataFiles.h"
#include "support/TempDatabase.h"

namespace {

using testsupport::Joined;

struct Expectation {
  std::string query;
  std::vector<std::string> rows;
};

struct CorpusBlock {
  int line = 0;
  std::string origin;
  std::string statement;
  long rows = -1;
  long affects = -1;
  std::vector<std::string> edits;  // "R Column V"
  std::vector<Expectation> expectations;
};

std::string Trim(std::string_view text) { return std::string(adodb::Trimmed(text, " ")); }

// Adds one non-blank line to the block being read.
void ReadLine(CorpusBlock& block, const std::string& line) {
  if (block.statement.empty()) {
    if (line.starts_with("#")) block.origin += (block.origin.empty() ? "" : " ") + Trim(line.substr(1));
    else block.statement = line;
  } else if (line.starts_with("rows ")) {
    block.rows = std::stol(line.substr(5));
  } else if (line.starts_with("affects ")) {
    block.affects = std::stol(line.substr(8));
  } else if (line.starts_with("edit ")) {
    block.edits.push_back(line.substr(5));
  } else if (line == "expect" || line.starts_with("expect ")) {
    block.expectations.push_back({line.size() > 7 ? line.substr(7) : "", {}});
  } else if (!block.expectations.empty()) {
    block.expectations.back().rows.push_back(line);
  } else {
    ADD_FAILURE() << "line " << block.line << ": unexpected line after the statement: " << line;
  }
}

std::vector<CorpusBlock> ReadBlocks(const std::filesystem::path& path) {
  std::vector<CorpusBlock> blocks;
  std::ifstream in(path);
  std::string line;
  bool inBlock = false;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      inBlock = false;
      continue;
    }
    if (!inBlock) blocks.emplace_back().line = number;
    inBlock = true;
    ReadLine(blocks.back(), line);
  }
  std::erase_if(blocks, [](const CorpusBlock& b) { return b.statement.empty(); });
  return blocks;
}

std::vector<std::string> ReadRows(adodb::Recordset& set) {
  std::vector<std::string> rows;
  if (set.RecordCount() > 0) set.MoveFirst();
  for (; !set.EOF(); set.MoveNext()) {
    std::string row;
    for (std::size_t i = 0; i < set.FieldCount(); ++i) {
      const adodb::Variant& value = set.Value(i);
      row += i ? " | " : "";
      if (value.IsNull()) row += "NULL";
      else if (value.Type() == adodb::VariantType::Boolean) row += value.AsBool() ? "1" : "0";
      else row += value.AsText();
    }
    rows.push_back(row);
  }
  return rows;
}

// The expected lines with each cell trimmed, so the data file may align its columns.
std::string Normalized(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    std::string row;
    for (std::size_t start = 0;;) {
      const std::size_t bar = line.find('|', start);
      row += (start ? " | " : "") + Trim(line.substr(start, bar == std::string::npos ? bar : bar - start));
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    out.push_back(row);
  }
  return Joined(out);
}

// Runs the block's statement; returns its rows when it is a query.
std::vector<std::string> RunStatement(adodb::Connection& conn, const CorpusBlock& block) {
  if (!adodb::StartsWithName(Trim(block.statement), "select")) {
    const long changed = conn.Execute(block.statement);
    if (block.affects >= 0) {
      EXPECT_EQ(block.affects, changed) << "rows changed by the statement";
    }
    return {};
  }
  const auto set = conn.OpenRecordset(block.statement, block.edits.empty() ? adodb::adLockReadOnly : adodb::adLockOptimistic);
  const std::vector<std::string> rows = ReadRows(*set);
  if (block.rows >= 0) {
    EXPECT_EQ(block.rows, static_cast<long>(rows.size())) << "rows returned:\n" << Joined(rows);
  }
  for (const std::string& edit : block.edits) {
    long row = 0;
    std::string column;
    double value = 0;
    std::istringstream(edit) >> row >> column >> value;
    set->SetAbsolutePosition(row);
    set->SetValue(column, adodb::Variant(value));
    set->Update();
  }
  set->Close();
  return rows;
}

void RunBlock(adodb::Connection& conn, const std::string& file, const CorpusBlock& block) {
  SCOPED_TRACE(file + ":" + std::to_string(block.line) + " " + block.origin);
  std::vector<std::string> rows;
  try {
    rows = RunStatement(conn, block);
  } catch (const adodb::Error& e) {
    ADD_FAILURE() << "statement failed: " << block.statement << "\n" << e.Description();
    return;
  }
  for (const Expectation& expectation : block.expectations) {
    SCOPED_TRACE("expect " + expectation.query);
    try {
      EXPECT_EQ(Normalized(expectation.rows),
                Joined(expectation.query.empty() ? rows : ReadRows(*conn.OpenRecordset(expectation.query))));
    } catch (const adodb::Error& e) {
      ADD_FAILURE() << "the check query failed: " << e.Description();
    }
  }
}

class StatementCorpus : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(StatementCorpus, EveryStatementRunsOnTheDemoDatabaseAndChangesWhatItMust) {
  const std::vector<CorpusBlock> blocks = ReadBlocks(GetParam());
  ASSERT_FALSE(blocks.empty()) << GetParam();
  const testsupport::TempDatabase database(storeadjust::db::CreateDemoDatabase);
  const auto conn = database.Open();
  for (const CorpusBlock& block : blocks) RunBlock(*conn, GetParam().filename().string(), block);
  conn->Close();
}

INSTANTIATE_TEST_SUITE_P(Files, StatementCorpus, ::testing::ValuesIn(testsupport::DataFiles("corpus", ".sql")),
                         [](const auto& info) { return info.param.stem().string(); });

}  // namespace
