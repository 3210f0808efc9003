#pragma once
// A parsed OLE DB / ODBC connection string: "key=value" pairs separated by ';', keys compared
// case-insensitively, values optionally wrapped in {braces} or "quotes" (which may hold ';'); inside
// braces "}}" stands for one '}'.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace adodb {

class ConnectionString {
 public:
  explicit ConnectionString(std::string_view text);

  // The value of the first pair with this key (case-insensitive), without its braces or quotes.
  std::optional<std::string> Get(std::string_view key) const;
  bool Has(std::string_view key) const { return Get(key).has_value(); }
  // A value wrapped so that it reads back unchanged whatever it holds (';', quotes, braces).
  static std::string Quoted(std::string_view value);
  // The original text of every pair except those with the given key, joined by ';'.
  std::string Without(std::string_view key) const;

 private:
  struct Pair {
    std::string key;    // trimmed, as written
    std::string value;  // unwrapped
    std::string raw;    // the pair as written
  };
  std::vector<Pair> pairs_;
};

}  // namespace adodb
