#pragma once
// The scenario's command stream: reads lines from a stream on demand, skipping comments and blank
// lines. The player's top-level loop and every nested modal loop read from the same reader, so a
// form shown modally takes the commands that follow the one that showed it.
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace storeadjust::player {

struct ScriptCommand {
  int lineNumber = 0;
  std::string text;                // the line as read, without surrounding blanks
  std::vector<std::string> words;  // never empty
};

class CommandReader {
 public:
  explicit CommandReader(std::istream& in) : in_(in) {}
  CommandReader(const CommandReader&) = delete;
  CommandReader& operator=(const CommandReader&) = delete;

  // The next command, or nothing at the end of the stream. A malformed line throws
  // ScriptSyntaxError (its message names the line).
  std::optional<ScriptCommand> Next();

 private:
  std::istream& in_;
  int lineNumber_ = 0;
};

}  // namespace storeadjust::player
