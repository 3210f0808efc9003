#include "player/CommandReader.h"

#include "player/ScriptLexer.h"

namespace storeadjust::player {

std::optional<ScriptCommand> CommandReader::Next() {
  std::string line;
  while (std::getline(in_, line)) {
    ++lineNumber_;
    if (lineNumber_ == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // UTF-8 byte order mark
    std::vector<std::string> words;
    try {
      words = SplitWords(line);
    } catch (const ScriptSyntaxError& e) {
      throw ScriptSyntaxError("line " + std::to_string(lineNumber_) + ": " + e.Message());
    }
    if (words.empty()) continue;
    return ScriptCommand{lineNumber_, std::string(TrimBlanks(line)), std::move(words)};
  }
  return std::nullopt;
}

}  // namespace storeadjust::player
