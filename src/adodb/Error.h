#pragma once
// The project's one error type. Every failure that leaves a module (a statement the
// database refuses, a connection string the provider rejects, a column a record set
// does not have, a conversion the classic rules forbid) is thrown as adodb::Error,
// carrying the provider's own description and an ADO/VB-style error number, so the
// screens can show exactly what the classic system would show.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace adodb {

// Well-known error numbers, as the classic API reports them.
namespace errnum {
inline constexpr std::int32_t kIntegrityViolation = -2147217873;  // 0x80040E2F: duplicate key, constraint
inline constexpr std::int32_t kSyntaxOrAccess = -2147217900;      // 0x80040E14: statement refused by the provider
inline constexpr std::int32_t kProviderError = -2147467259;       // 0x80004005: unspecified provider failure
inline constexpr std::int32_t kItemNotFound = 3265;               // no such field in the collection
inline constexpr std::int32_t kBofOrEof = 3021;                   // current record is at BOF or EOF
inline constexpr std::int32_t kObjectClosed = 3704;               // operation not allowed when the object is closed
inline constexpr std::int32_t kTypeMismatch = 13;                 // classic conversion failure
inline constexpr std::int32_t kOverflow = 6;                      // classic conversion overflow
inline constexpr std::int32_t kInvalidUseOfNull = 94;             // NULL converted to a non-variant
inline constexpr std::int32_t kUnsupportedSql = -2147217887;      // 0x80040E21: construct the dialect translator does not support
inline constexpr std::int32_t kSubscriptOutOfRange = 9;           // index past the end of an array
inline constexpr std::int32_t kProviderNotFound = 3706;           // connection string names no installed provider
inline constexpr std::int32_t kObjectOpen = 3705;                 // operation not allowed when the object is open
inline constexpr std::int32_t kConnectionInvalid = 3709;          // no usable connection for the operation
inline constexpr std::int32_t kNotUpdatable = 3251;               // set or provider does not support the change
inline constexpr std::int32_t kArgumentOutOfRange = 3001;         // argument out of the acceptable range
inline constexpr std::int32_t kRowNotLocated = -2147217864;       // 0x80040E38: optimistic update found no row
}  // namespace errnum

class Error : public std::runtime_error {
 public:
  Error(std::int32_t number, std::string description, std::string source = {})
      : std::runtime_error(description), number_(number), description_(std::move(description)),
        source_(std::move(source)) {}

  std::int32_t Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const std::string& Source() const noexcept { return source_; }
  // An integrity violation because a key (primary key or unique index) is already taken: the
  // one failure that another clerk storing the same key at the same moment causes. Other
  // integrity violations (NOT NULL, CHECK, foreign key) carry the same number but not this kind.
  bool IsDuplicateKey() const noexcept { return duplicateKey_; }
  // What kept the database from running a statement, when it is the file or another session
  // rather than the statement: the clerk can act on it, and the statement did nothing. A server's
  // connection lost undoes what was not committed; a commit lost on the way may have landed.
  enum class Hindrance { None, LockedByOthers, ReadOnlyFile, DiskFull, ConnectionLost };
  Hindrance GetHindrance() const noexcept { return hindrance_; }

  static Error Provider(std::string description) { return {errnum::kProviderError, std::move(description), "Provider"}; }
  static Error Integrity(std::string description) {
    return {errnum::kIntegrityViolation, std::move(description), "Provider"};
  }
  static Error DuplicateKey(std::string description) {
    Error error = Integrity(std::move(description));
    error.duplicateKey_ = true;
    return error;
  }
  static Error Hindered(Hindrance hindrance, std::string description) {
    Error error = Provider(std::move(description));
    error.hindrance_ = hindrance;
    return error;
  }
  static Error Syntax(std::string description) { return {errnum::kSyntaxOrAccess, std::move(description), "Provider"}; }
  static Error Unsupported(std::string description) {
    return {errnum::kUnsupportedSql, std::move(description), "T-SQL translator"};
  }
  static Error TypeMismatch() { return {errnum::kTypeMismatch, "Type mismatch", "Variant"}; }
  static Error Overflow() { return {errnum::kOverflow, "Overflow", "Variant"}; }
  static Error InvalidUseOfNull() { return {errnum::kInvalidUseOfNull, "Invalid use of Null", "Variant"}; }
  static Error ItemNotFound() {
    return {errnum::kItemNotFound, "Item cannot be found in the collection corresponding to the requested name or ordinal.",
            "ADODB.Fields"};
  }
  static Error BofOrEof() {
    return {errnum::kBofOrEof,
            "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.",
            "ADODB.Recordset"};
  }
  static Error Closed() {
    return {errnum::kObjectClosed, "Operation is not allowed when the object is closed.", "ADODB.Recordset"};
  }
  static Error SubscriptOutOfRange() { return {errnum::kSubscriptOutOfRange, "Subscript out of range", "Array"}; }

 private:
  std::int32_t number_;
  std::string description_;
  std::string source_;
  bool duplicateKey_ = false;
  Hindrance hindrance_ = Hindrance::None;
};

}  // namespace adodb
