#pragma once
// Splits one line of a scenario file into words. Words are separated by blanks (spaces and
// tabs). A word that holds blanks or quotes is written between double quotes; inside them \" is
// a quote, \\ a backslash, \n a line feed and \r a carriage return. A line whose first non-blank
// character is '#' is a comment and, like a blank line, gives no words.
//
// A malformed line (an unterminated quote, an unknown escape, a quote glued to other text)
// throws ScriptSyntaxError, so a typo in a scenario never silently changes what is checked.
#include <string>
#include <string_view>
#include <vector>

namespace storeadjust::player {

class ScriptSyntaxError {
 public:
  explicit ScriptSyntaxError(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

std::vector<std::string> SplitWords(std::string_view line);

// The line without its leading and trailing blanks (what the transcript echoes).
std::string_view TrimBlanks(std::string_view line);

}  // namespace storeadjust::player
