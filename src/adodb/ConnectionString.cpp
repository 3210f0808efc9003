#include "adodb/ConnectionString.h"

#include "adodb/TextCompare.h"

namespace adodb {

namespace {

// Blanks around keys and values; line breaks are no blanks in a connection string.
constexpr std::string_view kBlanks = " \t";

// Length of the pair starting at text[0]: up to the first ';' outside braces or quotes.
std::size_t PairLength(std::string_view text) {
  char closing = '\0';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (closing != '\0') {
      if (c == '}' && closing == '}' && i + 1 < text.size() && text[i + 1] == '}') ++i;
      else if (c == closing) closing = '\0';
    } else if (c == '{') {
      closing = '}';
    } else if (c == '"') {
      closing = '"';
    } else if (c == ';') {
      return i;
    }
  }
  return text.size();
}

std::string Unwrap(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return std::string(value.substr(1, value.size() - 2));
  if (value.size() < 2 || value.front() != '{' || value.back() != '}') return std::string(value);
  std::string inner;
  for (std::size_t i = 1; i + 1 < value.size(); ++i) {
    inner += value[i];
    if (value[i] == '}' && value[i + 1] == '}') ++i;
  }
  return inner;
}

}  // namespace

ConnectionString::ConnectionString(std::string_view text) {
  while (!text.empty()) {
    const std::size_t length = PairLength(text);
    const std::string_view raw = text.substr(0, length);
    text.remove_prefix(length < text.size() ? length + 1 : length);
    const std::size_t equals = raw.find('=');
    if (Trimmed(raw, kBlanks).empty()) continue;
    Pair pair;
    pair.raw = std::string(raw);
    pair.key = std::string(Trimmed(raw.substr(0, equals), kBlanks));
    if (equals != std::string_view::npos) pair.value = Unwrap(Trimmed(raw.substr(equals + 1), kBlanks));
    pairs_.push_back(std::move(pair));
  }
}

std::optional<std::string> ConnectionString::Get(std::string_view key) const {
  for (const Pair& pair : pairs_) {
    if (SameName(pair.key, key)) return pair.value;
  }
  return std::nullopt;
}

std::string ConnectionString::Quoted(std::string_view value) {
  std::string quoted = "{";
  for (char c : value) quoted += c == '}' ? std::string("}}") : std::string(1, c);
  return quoted + "}";
}

std::string ConnectionString::Without(std::string_view key) const {
  std::string text;
  for (const Pair& pair : pairs_) {
    if (SameName(pair.key, key)) continue;
    if (!text.empty()) text += ';';
    text += pair.raw;
  }
  return text;
}

}  // namespace adodb
