#include "adodb/Backend.h"

#include <cstdlib>

#include "adodb/ConnectionString.h"
#include "adodb/Error.h"
#include "adodb/OdbcBackend.h"
#include "adodb/SqliteBackend.h"
#include "adodb/TextCompare.h"

namespace adodb {

namespace {

std::string QuotedText(const std::string& text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '\'';
  for (char c : text) {
    if (c == '\'') quoted += '\'';
    quoted += c;
  }
  quoted += '\'';
  return quoted;
}

std::string DateLiteral(const Date& date) {
  std::string text = date.ToText();
  if (!date.HasTime()) text += " 00:00:00";
  return "'" + text + "'";
}

bool IsOdbc(const ConnectionString& parsed) { return parsed.Has("Driver") || parsed.Has("DSN"); }

std::optional<std::string> EmbeddedFile(const ConnectionString& parsed) {
  const auto provider = parsed.Get("Provider");
  if (IsOdbc(parsed) || !provider || !SameName(*provider, "SQLite")) return std::nullopt;
  return parsed.Get("Data Source").value_or(std::string());
}

}  // namespace

std::string Backend::Literal(const Variant& value) const {
  switch (value.Type()) {
    case VariantType::Empty:
    case VariantType::Null:
      return "NULL";
    case VariantType::Boolean:
      return value.RawInteger() != 0 ? "1" : "0";
    case VariantType::Integer:
      return std::to_string(value.RawInteger());
    case VariantType::Double:
    case VariantType::Currency:
      return FormatNumber(value.RawDouble());
    case VariantType::Text:
      return QuotedText(value.RawText());
    case VariantType::Date:
      return DateLiteral(value.RawDate());
  }
  return "NULL";
}

std::unique_ptr<Backend> OpenBackend(const std::string& connectionString) {
  const ConnectionString parsed(connectionString);
  if (IsOdbc(parsed)) {
    const auto dialect = parsed.Get("Dialect");
    const bool translate = dialect && SameName(*dialect, "SQLite");
    return OpenOdbcBackend(parsed.Without("Dialect"), translate);
  }
  // ADO's own key for a connection that only reads.
  const auto mode = parsed.Get("Mode");
  if (auto file = EmbeddedFile(parsed)) return std::make_unique<SqliteBackend>(*file, mode && SameName(*mode, "Read"));
  throw Error(errnum::kProviderNotFound, "Provider cannot be found. It may not be properly installed.",
              "ADODB.Connection");
}

std::optional<std::string> EmbeddedDatabaseFile(const std::string& connectionString) {
  return EmbeddedFile(ConnectionString(connectionString));
}

std::string WithLockWaitAtConnect(const std::string& connectionString, long ms) {
  const ConnectionString parsed(connectionString);
  const auto dialect = parsed.Get("Dialect");
  if (!IsOdbc(parsed) || !dialect || !SameName(*dialect, "SQLite")) return connectionString;
  if (const auto given = parsed.Get("Timeout")) {
    char* end = nullptr;
    const long wait = std::strtol(given->c_str(), &end, 10);
    if (!given->empty() && *end == '\0' && wait >= 0 && wait <= ms) return connectionString;
  }
  std::string text = parsed.Without("Timeout");
  if (!text.empty()) text += ';';
  return text + "Timeout=" + std::to_string(ms);
}

}  // namespace adodb
