#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adodb/Error.h"
#include "adodb/tsql/Tokenizer.h"
#include "adodb/tsql/Translator.h"
#include "support/ErrorOf.h"

namespace {

using adodb::tsql::TokenKind;
using Words = std::vector<std::string>;

std::vector<std::string> Texts(std::string_view sql) {
  std::vector<std::string> out;
  for (const auto& t : adodb::tsql::Tokenize(sql)) out.emplace_back(t.text);
  return out;
}

TEST(TsqlTokenizer, NumbersEndWhereLettersStart) {
  EXPECT_EQ(Texts("sl=sl - 5where 1and x"), (Words{"sl", "=", "sl", "-", "5", "where", "1", "and", "x"}));
  EXPECT_EQ(Texts("1E-05where 1else .5e"), (Words{"1E-05", "where", "1", "else", ".5", "e"}));
  EXPECT_EQ(Texts("a.b 2.50"), (Words{"a", ".", "b", "2.50"}));
  EXPECT_EQ(Texts("1.from 0x1Fwhere 0x"), (Words{"1.", "from", "0x1F", "where", "0x"}));
  EXPECT_EQ(adodb::tsql::Tokenize("0x1F")[0].kind, TokenKind::Binary);
}

TEST(TsqlTokenizer, LiteralsAndNamesKeepTheirDelimitersAndEscapes) {
  const auto tokens = adodb::tsql::Tokenize("'it''s + x' N'调拨' [a]]b] \"q\"\"r\" 货号");
  ASSERT_EQ(tokens.size(), 5u);
  EXPECT_EQ(tokens[0].kind, TokenKind::String);
  EXPECT_EQ(tokens[0].text, "'it''s + x'");
  EXPECT_EQ(tokens[1].kind, TokenKind::NString);
  EXPECT_EQ(tokens[2].kind, TokenKind::BracketName);
  EXPECT_EQ(tokens[2].text, "[a]]b]");
  EXPECT_EQ(tokens[3].kind, TokenKind::QuotedName);
  EXPECT_EQ(tokens[4].kind, TokenKind::Word);
  EXPECT_EQ(tokens[4].text, "货号");
}

TEST(TsqlTokenizer, OperatorsCommentsVariablesAndBrokenText) {
  EXPECT_EQ(Texts("a<>b!=c<=d>=e!<f -- note\n/* x */g"),
            (Words{"a", "<>", "b", "!=", "c", "<=", "d", ">=", "e", "!<", "f", "g"}));
  EXPECT_EQ(adodb::tsql::Tokenize("@@rowcount")[0].kind, TokenKind::Variable);
  EXPECT_EQ(adodb::tsql::Tokenize("'open")[0].kind, TokenKind::Unterminated);
  EXPECT_EQ(adodb::tsql::Tokenize("[open")[0].kind, TokenKind::Unterminated);
  EXPECT_EQ(adodb::tsql::Tokenize("/* open")[0].kind, TokenKind::Unterminated);
  EXPECT_EQ(adodb::tsql::Tokenize("/* a /* b */ c")[0].kind, TokenKind::Unterminated);
  EXPECT_EQ(Texts("/* a /* b */ c */ x /**/ y"), (Words{"x", "y"}));
  EXPECT_EQ(adodb::tsql::Tokenize("?")[0].kind, TokenKind::Illegal);
}

TEST(TsqlTranslator, RewritesAndCachesTheSameTextIdentically) {
  const std::string sql = "select top 1 isnull(a,0) + b from t order by c";
  const std::string first = adodb::tsql::Translate(sql);
  EXPECT_EQ(first, "SELECT tsql_add(ifnull(a, 0), b) FROM t ORDER BY c LIMIT 1");
  EXPECT_EQ(adodb::tsql::Translate(sql), first);
}

TEST(TsqlTranslator, RefusesUnsupportedTextEveryTimeWithTheSameError) {
  for (int i = 0; i < 2; ++i) {
    const adodb::Error e = testsupport::ErrorOf([] { adodb::tsql::Translate("exec sp_who"); });
    EXPECT_EQ(e.Number(), adodb::errnum::kUnsupportedSql);
    EXPECT_NE(e.Description().find("exec"), std::string::npos);
  }
}

}  // namespace
