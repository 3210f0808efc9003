#include "player/ScriptLexer.h"

namespace storeadjust::player {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

char Unescape(char c) {
  switch (c) {
    case '"': return '"';
    case '\\': return '\\';
    case 'n': return '\n';
    case 'r': return '\r';
    default: throw ScriptSyntaxError(std::string("unknown escape \\") + c + " in a quoted word");
  }
}

// Reads the quoted word that starts at line[pos] (the opening quote); returns the position after
// the closing quote.
std::size_t ReadQuoted(std::string_view line, std::size_t pos, std::string& word) {
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') return pos + 1;
    if (c == '\\') {
      if (++pos == line.size()) break;
      word += Unescape(line[pos]);
    } else {
      word += c;
    }
  }
  throw ScriptSyntaxError("a quoted word has no closing quote");
}

std::size_t ReadBare(std::string_view line, std::size_t pos, std::string& word) {
  while (pos < line.size() && !IsBlank(line[pos])) {
    if (line[pos] == '"') throw ScriptSyntaxError("a quote inside a word; quote the whole word");
    word += line[pos++];
  }
  return pos;
}

}  // namespace

std::string_view TrimBlanks(std::string_view line) {
  std::size_t begin = 0, end = line.size();
  while (begin < end && IsBlank(line[begin])) ++begin;
  while (end > begin && IsBlank(line[end - 1])) --end;
  return line.substr(begin, end - begin);
}

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  line = TrimBlanks(line);
  if (line.empty() || line.front() == '#') return words;
  std::size_t pos = 0;
  while (pos < line.size()) {
    if (IsBlank(line[pos])) {
      ++pos;
      continue;
    }
    std::string word;
    if (line[pos] == '"') {
      pos = ReadQuoted(line, pos, word);
      if (pos < line.size() && !IsBlank(line[pos])) throw ScriptSyntaxError("text glued to a quoted word");
    } else {
      pos = ReadBare(line, pos, word);
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace storeadjust::player
