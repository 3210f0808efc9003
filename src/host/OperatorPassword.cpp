#include "host/OperatorPassword.h"

#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"

namespace storeadjust {

namespace {

void RequireSodium() {
  if (sodium_init() < 0) throw adodb::Error::Provider("libsodium 无法初始化");
}

struct KnownOperator {
  std::string code;  // as Operators spells it
  std::string name;
  std::string guid;
};

std::optional<KnownOperator> FindOperatorSpelled(adodb::Connection& connection, const std::string& code) {
  auto rows = connection.OpenRecordset("Select Code, name, Guid From Operators Where Code=?", {adodb::BoundText(code)});
  if (rows->RecordCount() == 0) return std::nullopt;
  return KnownOperator{rows->Value("Code").TextOrEmpty(), rows->Value("name").TextOrEmpty(),
                       rows->Value("Guid").TextOrEmpty()};
}

// The code is compared as the server compares text, so "002 " finds 002. A Chinese input method
// left in full-width mode types ００２: the server's default collation ignores the width, the
// embedded database does not, so a code not found as typed is looked for in its narrow form.
std::optional<KnownOperator> FindOperator(adodb::Connection& connection, const std::string& code) {
  if (auto known = FindOperatorSpelled(connection, code)) return known;
  const std::string narrow(adodb::Trimmed(adodb::HalfWidthForms(code)));
  if (narrow == code || narrow.empty()) return std::nullopt;
  return FindOperatorSpelled(connection, narrow);
}

bool HasOperators(adodb::Connection& connection) {
  return connection.OpenRecordset("Select Code From Operators")->RecordCount() > 0;
}

constexpr const char* kHowToGetOperators =
    "请用 storeadjust-db demo 建一个带操作员的数据库，或者先在 Operators 表中加入操作员。";

KnownOperator RequiredOperator(adodb::Connection& connection, const std::string& code) {
  if (auto known = FindOperator(connection, code)) return *known;
  if (!HasOperators(connection)) {
    throw adodb::Error::Provider(std::string("数据库中还没有操作员（Operators 表是空的），没有设置密码。") + kHowToGetOperators);
  }
  throw adodb::Error::Provider("操作员编号 " + code + " 不在 Operators 表中，没有设置密码。");
}

// The value of the row's column with the name; Null for a column a server's table was made without.
adodb::Variant ColumnValue(const adodb::Recordset& row, const char* name) {
  for (std::size_t i = 0; i < row.Columns().size(); ++i) {
    if (adodb::SameName(row.Columns()[i].name, name)) return row.Value(i);
  }
  return adodb::Variant::Null();
}

struct StoredPassword {
  std::string hash;  // empty: none set for him
  int failures = 0;
  std::int64_t lastFailedAt = 0;
};

// The operator's password. A password set for another operator who had the code before (the ERP
// may give a code again) is none of his; a row that names no operator (from before passwords named
// theirs, or a server's table without the column) is taken as his.
StoredPassword ReadStoredPassword(adodb::Connection& connection, const KnownOperator& known) {
  auto rows = connection.OpenRecordset("Select * From StoreAdjustPassword Where OperatorCode=?", {adodb::BoundText(known.code)});
  if (rows->RecordCount() == 0) return {};
  const std::string setFor = ColumnValue(*rows, "OperatorGuid").TextOrEmpty();
  if (!setFor.empty() && !adodb::SameName(setFor, known.guid)) return {};
  const adodb::Variant failures = ColumnValue(*rows, "FailedTries"), at = ColumnValue(*rows, "LastFailedAt");
  return {rows->Value("PasswordHash").TextOrEmpty(), failures.IsNull() ? 0 : failures.AsInt32(),
          at.IsNull() ? 0 : at.AsInt64()};
}

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

constexpr std::int64_t kCountForgottenAfter = 24 * 60 * 60;

// One statement, so that two launchers failing at once both count. A count a day old starts again.
void CountWrongPassword(adodb::Connection& connection, const std::string& code, std::int64_t now) {
  connection.Execute("Update StoreAdjustPassword Set FailedTries = Case When LastFailedAt > ? And LastFailedAt <= ? "
                     "Then IsNull(FailedTries, 0) + 1 Else 1 End, LastFailedAt = ? Where OperatorCode=?",
                     {adodb::BoundInteger(now - kCountForgottenAfter), adodb::BoundInteger(now),
                      adodb::BoundInteger(now), adodb::BoundText(code)});
}

}  // namespace

// Checked again inside the transaction: the operator may have been deleted since the first look.
void RequireOperator(adodb::Connection& connection, const std::string& code) { RequiredOperator(connection, code); }

namespace {

// Interactive limits: a sign-in costs a fraction of a second and 64 MB, which is what makes
// guessing expensive.
std::string HashOf(const std::string& password) {
  RequireSodium();
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                        crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
    throw adodb::Error::Provider("计算密码的散列时内存不够");
  return hash;
}

bool Matches(const std::string& hash, const std::string& password) {
  RequireSodium();
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace

SignInResult CheckOperatorPassword(adodb::Connection& connection, const std::string& code, const std::string& password) {
  const adodb::LockWaitLimit shortWait(connection, kPasswordLockWaitMs);
  const auto known = FindOperator(connection, code);
  if (!known) return {SignInOutcome::kUnknownOperator, {}, {}};
  const StoredPassword stored = ReadStoredPassword(connection, *known);
  if (stored.hash.empty()) return {SignInOutcome::kNoPassword, known->name, known->code};
  if (password.empty()) return {SignInOutcome::kEmptyPassword, known->name, known->code};
  const std::int64_t now = Now();
  if (const int wait = SignInWaitLeft(stored.failures, stored.lastFailedAt, now); wait > 0) {
    return {SignInOutcome::kMustWait, known->name, known->code, stored.failures, wait};
  }
  const bool matches = Matches(stored.hash, password);
  // The count is kept where the database can keep it; one that cannot still signs the clerk in.
  try {
    if (!matches) {
      CountWrongPassword(connection, known->code, now);
      const StoredPassword counted = ReadStoredPassword(connection, *known);
      return {SignInOutcome::kWrongPassword, known->name, known->code, counted.failures,
              SignInWaitLeft(counted.failures, counted.lastFailedAt, now)};
    }
    if (stored.failures != 0) {
      connection.Execute("Update StoreAdjustPassword Set FailedTries = 0 Where OperatorCode=?",
                         {adodb::BoundText(known->code)});
    }
  } catch (const adodb::Error& error) {
    // A wrong password neither counted nor confirmed: answering it uncounted would let guesses
    // run unslowed for as long as the lock is held. A right one signs in: the count it could
    // not clear only lengthens a later wait.
    if (!matches && error.GetHindrance() == adodb::Error::Hindrance::LockedByOthers) {
      return {SignInOutcome::kLocked, known->name, known->code};
    }
  }
  if (!matches) return {SignInOutcome::kWrongPassword, known->name, known->code};
  return {SignInOutcome::kSignedIn, known->name, known->code};
}

void SetOperatorPassword(adodb::Connection& connection, const std::string& code, const std::string& password) {
  RequireOperator(connection, code);
  if (password.empty()) throw adodb::Error::Provider("密码不能为空，没有设置密码。");
  if (const std::string refusal = UntypeablePasswordRefusal(password); !refusal.empty()) {
    throw adodb::Error::Provider(refusal);
  }
  const std::string hash = HashOf(password);
  adodb::TransactionGuard transaction(connection);
  const KnownOperator known = RequiredOperator(connection, code);
  connection.Execute("Delete From StoreAdjustPassword Where OperatorCode=?", {adodb::BoundText(known.code)});
  connection.Execute("Insert Into StoreAdjustPassword (OperatorCode, PasswordHash, OperatorGuid) Values (?, ?, ?)",
                     {adodb::BoundText(known.code), adodb::BoundText(hash), adodb::BoundText(known.guid)});
  transaction.Commit();
}

std::string UntypeablePasswordRefusal(const std::string& password) {
  const bool typeable = std::all_of(password.begin(), password.end(), [](char c) { return c >= ' ' && c <= '~'; });
  if (typeable) return {};
  return "密码中有键盘不能直接打出的字符（例如汉字、全角字符）：登录对话框的密码框用不了输入法，这样的密码登录时输不进去。"
         "请只用字母、数字、空格和英文符号，没有设置密码。";
}

std::string UnknownOperatorRefusal(adodb::Connection& connection, const std::string& databaseName, const std::string& code,
                                   CodeGiven given) {
  if (!HasOperators(connection)) {
    return databaseName + " 中还没有操作员（Operators 表是空的），没有登录。" + kHowToGetOperators;
  }
  return "操作员编号 " + code + " 不在" + databaseName + " 的 Operators 表中，" +
         (given == CodeGiven::kInDialog ? "请输入一个已有的操作员编号。" : "请用 --operator 给出一个已有的编号。");
}

std::string OperatorLabel(const std::string& code, const std::string& name) {
  return name.empty() ? "操作员 " + code + " " : "操作员 " + code + "（" + name + "）";
}

std::optional<std::string> PasswordFromInput(std::istream& input) {
  std::string line;
  if (!std::getline(input, line) && line.empty()) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

bool RemoveOperatorPassword(adodb::Connection& connection, const std::string& code) {
  const auto known = FindOperator(connection, code);
  return connection.Execute("Delete From StoreAdjustPassword Where OperatorCode=?",
                            {adodb::BoundText(known ? known->code : code)}) > 0;
}

int SignInWaitLeft(int failures, std::int64_t lastFailedAt, std::int64_t now) {
  const std::int64_t since = now - lastFailedAt;
  if (since < 0 || since >= kCountForgottenAfter) return 0;
  return static_cast<int>(std::max<std::int64_t>(0, SignInDelaySeconds(failures) - since));
}

int SignInDelaySeconds(int failures) {
  constexpr int kFreeTries = 3;
  constexpr int kLongestWait = 300;
  if (failures < kFreeTries) return 0;
  const int doublings = failures - kFreeTries + 1;
  return doublings >= 9 ? kLongestWait : std::min(kLongestWait, 1 << doublings);
}

std::string SignInRefusal(const SignInResult& result, const std::string& code) {
  switch (result.outcome) {
    case SignInOutcome::kSignedIn:
      return {};
    case SignInOutcome::kUnknownOperator:
      return "操作员编号 " + code + " 不在 Operators 表中，没有登录。";
    case SignInOutcome::kNoPassword:
      return OperatorLabel(code, result.operatorName) + "还没有密码，没有登录。请先用 storeadjust-db password 为其设置密码。";
    case SignInOutcome::kEmptyPassword:
      return OperatorLabel(code, result.operatorName) + "没有输入密码，没有登录。";
    case SignInOutcome::kWrongPassword:
      return OperatorLabel(code, result.operatorName) + "的密码不对，没有登录。";
    case SignInOutcome::kMustWait:
      return OperatorLabel(code, result.operatorName) + "的密码已连续输错 " + std::to_string(result.failures) +
             " 次，这次没有核对密码，没有登录。";
    case SignInOutcome::kLocked:
      return OperatorLabel(code, result.operatorName) + "没有登录：数据库正被其他程序使用，请稍后再试。";
  }
  return {};
}

}  // namespace storeadjust
