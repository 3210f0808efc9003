// Translations are cached by statement text: a cached translation handed to a statement whose
// literals differ would run other SQL than the statement says. Every query of bench/corpus and
// every statement of the golden files is translated, then again with each literal changed, and
// the second translation must be what the rewriter writes for that statement from scratch. Where a
// literal's value shapes the statement (TOP's count, a CONVERT style, FETCH's count that may not be
// 0) a shared translation shows as a difference too.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "adodb/tsql/Tokenizer.h"
#include "adodb/tsql/Translator.h"
#include "GoldenCases.h"
#include "support/DataFiles.h"

namespace {

using adodb::tsql::Token;
using adodb::tsql::TokenKind;

// The statement with every string literal's text and every number changed, all else kept: round 0
// puts a 7 before each number, round 1 makes every digit a 0 (5 becomes 0, 12.5 becomes 00.0).
std::string WithOtherLiterals(const std::string& sql, int round) {
  std::string out;
  std::size_t copied = 0;
  for (const Token& t : adodb::tsql::Tokenize(sql)) {
    const std::size_t at = static_cast<std::size_t>(t.text().data() - sql.data());
    out.append(sql, copied, at - copied);
    copied = at + t.text().size();
    if (t.kind == TokenKind::String || t.kind == TokenKind::NString) {
      out += std::string(t.text().substr(0, t.text().size() - 1)) + (round == 0 ? "x1'" : "2024-03-05'");
    } else if (t.kind == TokenKind::Number && round == 0) {
      out += std::string(t.text().front() == '.' ? "9" : "") + "7" + std::string(t.text());
    } else if (t.kind == TokenKind::Number) {
      for (char c : t.text()) out += c >= '1' && c <= '9' ? '0' : c;
    } else {
      out += t.text();
    }
  }
  return out + sql.substr(copied);
}

// The translation, or the refusal's words.
template <typename F>
std::string OrRefusal(F translate) {
  try {
    return translate();
  } catch (const adodb::Error& e) {
    return "error: " + e.Description();
  }
}
std::string Translated(const std::string& sql) { return OrRefusal([&] { return adodb::tsql::Translate(sql); }); }
std::string RewrittenFromScratch(const std::string& sql) {
  return OrRefusal([&] { return adodb::tsql::TranslateAfresh(sql); });
}

// The module's queries the translator bench measures, each on the line after its "# title".
std::vector<std::string> ModuleQueries() {
  std::vector<std::string> statements;
  for (const auto& file : testsupport::DataFiles("../bench/corpus", ".sql")) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line[0] != '#') statements.push_back(line);
    }
  }
  return statements;
}

// The statements of the golden files: each setup statement and each query.
std::vector<std::string> GoldenStatements() {
  std::vector<std::string> statements;
  for (const golden::Case& c : golden::AllCases()) {
    statements.insert(statements.end(), c.setup.begin(), c.setup.end());
    statements.push_back(c.query);
  }
  return statements;
}

TEST(TranslationShapeTest, EveryModuleAndGoldenStatementWithOtherValuesTranslatesAsFromScratch) {
  for (const auto& statements : {ModuleQueries(), GoldenStatements()}) {
    ASSERT_GT(statements.size(), 50u);
    for (const std::string& sql : statements) {
      Translated(sql);
      for (int round = 0; round < 2; ++round) {
        const std::string other = WithOtherLiterals(sql, round);
        EXPECT_EQ(Translated(other), RewrittenFromScratch(other)) << "after: " << sql;
      }
    }
  }
}

}  // namespace
