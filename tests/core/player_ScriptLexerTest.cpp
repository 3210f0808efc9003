#include <gtest/gtest.h>

#include <sstream>

#include "host/KeyCodes.h"
#include "player/CommandReader.h"
#include "player/KeyNames.h"
#include "player/ScriptLexer.h"

namespace storeadjust::player {
namespace {

using Words = std::vector<std::string>;

TEST(PlayerLexer, SplitsOnBlanksAndKeepsQuotedWordsWhole) {
  EXPECT_EQ(SplitWords("  click\tFrmStoreAdjuctBill   审核 "), (Words{"click", "FrmStoreAdjuctBill", "审核"}));
  EXPECT_EQ(SplitWords(R"(sql "select 'a b' from t")"), (Words{"sql", "select 'a b' from t"}));
  EXPECT_EQ(SplitWords(R"(type F TxtBz "")"), (Words{"type", "F", "TxtBz", ""}));
}

TEST(PlayerLexer, UnescapesQuoteBackslashAndLineBreaksInsideQuotes) {
  EXPECT_EQ(SplitWords(R"(expect message "say \"hi\"\\ \n\r")"), (Words{"expect", "message", "say \"hi\"\\ \n\r"}));
  // Outside quotes a backslash is an ordinary character.
  EXPECT_EQ(SplitWords(R"(database C:\data\x.db)"), (Words{"database", R"(C:\data\x.db)"}));
}

TEST(PlayerLexer, CommentsAndBlankLinesGiveNoWords) {
  EXPECT_TRUE(SplitWords("").empty());
  EXPECT_TRUE(SplitWords("   \t ").empty());
  EXPECT_TRUE(SplitWords("   # click F X").empty());
  // A '#' later in the line is part of a word, not a comment.
  EXPECT_EQ(SplitWords("type F Txt #1"), (Words{"type", "F", "Txt", "#1"}));
}

TEST(PlayerLexer, MalformedQuotingIsRefusedRatherThanGuessed) {
  EXPECT_THROW(SplitWords(R"(sql "select 1)"), ScriptSyntaxError);
  EXPECT_THROW(SplitWords(R"(sql "a\tb")"), ScriptSyntaxError);
  EXPECT_THROW(SplitWords(R"(sql "a"b)"), ScriptSyntaxError);
  EXPECT_THROW(SplitWords(R"(sql a"b")"), ScriptSyntaxError);
  EXPECT_THROW(SplitWords(R"(sql "ends in backslash\)"), ScriptSyntaxError);
}

TEST(PlayerLexer, ReaderSkipsCommentsNumbersLinesAndNamesTheBadLine) {
  std::istringstream in("\xEF\xBB\xBF# first\n\nexecute\r\n  expect open  F \n\nsql \"x\n");
  CommandReader reader(in);
  auto first = reader.Next();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->lineNumber, 3);
  EXPECT_EQ(first->text, "execute");
  auto second = reader.Next();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->text, "expect open  F");
  EXPECT_EQ(second->words, (Words{"expect", "open", "F"}));
  try {
    reader.Next();
    FAIL() << "an unterminated quote was accepted";
  } catch (const ScriptSyntaxError& e) {
    EXPECT_NE(e.Message().find("line 6"), std::string::npos) << e.Message();
  }
}

TEST(PlayerKeyNames, NamesMapToTheClassicKeyCodes) {
  EXPECT_EQ(KeyCodeFromName("Enter"), key::kReturn);
  EXPECT_EQ(KeyCodeFromName("Esc"), key::kEscape);
  EXPECT_EQ(KeyCodeFromName("PageDown"), key::kPageDown);
  EXPECT_EQ(KeyCodeFromName("F1"), key::kF1);
  EXPECT_EQ(KeyCodeFromName("F12"), key::kF12);
  EXPECT_EQ(KeyCodeFromName("a"), 'A');
  EXPECT_EQ(KeyCodeFromName("Z"), 'Z');
  EXPECT_EQ(KeyCodeFromName("7"), '7');
  EXPECT_FALSE(KeyCodeFromName("F13"));
  EXPECT_FALSE(KeyCodeFromName("F0"));
  EXPECT_FALSE(KeyCodeFromName("F01"));
  EXPECT_FALSE(KeyCodeFromName("enter"));
  EXPECT_FALSE(KeyCodeFromName("!"));
}

}  // namespace
}  // namespace storeadjust::player
