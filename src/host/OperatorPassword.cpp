#include "host/OperatorPassword.h"

#include <sodium.h>

#include <algorithm>
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

// The code is compared as the server compares text, so "002 " finds 002.
std::optional<KnownOperator> FindOperator(adodb::Connection& connection, const std::string& code) {
  auto rows = connection.OpenRecordset("Select Code, name, Guid From Operators Where Code=?", {adodb::BoundText(code)});
  if (rows->RecordCount() == 0) return std::nullopt;
  return KnownOperator{rows->Value("Code").TextOrEmpty(), rows->Value("name").TextOrEmpty(),
                       rows->Value("Guid").TextOrEmpty()};
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

// The Guid of the operator the row's password was set for; empty for a row from before passwords
// named their operator, or from a server's table made without the column.
std::string SetForGuid(const adodb::Recordset& row) {
  for (std::size_t i = 0; i < row.Columns().size(); ++i) {
    if (adodb::SameName(row.Columns()[i].name, "OperatorGuid")) return row.Value(i).TextOrEmpty();
  }
  return {};
}

// The operator's password hash; empty when none was set for him. A password set for another
// operator who had the code before (the ERP may give a code again) is none of his; a row that names
// no operator is taken as his.
std::string StoredHash(adodb::Connection& connection, const KnownOperator& known) {
  auto rows = connection.OpenRecordset("Select * From StoreAdjustPassword Where OperatorCode=?", {adodb::BoundText(known.code)});
  if (rows->RecordCount() == 0) return {};
  const std::string setFor = SetForGuid(*rows);
  if (!setFor.empty() && !adodb::SameName(setFor, known.guid)) return {};
  return rows->Value("PasswordHash").TextOrEmpty();
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
  const auto known = FindOperator(connection, code);
  if (!known) return {SignInOutcome::kUnknownOperator, {}, {}};
  const std::string hash = StoredHash(connection, *known);
  if (hash.empty()) return {SignInOutcome::kNoPassword, known->name, known->code};
  if (password.empty()) return {SignInOutcome::kEmptyPassword, known->name, known->code};
  return {Matches(hash, password) ? SignInOutcome::kSignedIn : SignInOutcome::kWrongPassword, known->name, known->code};
}

void SetOperatorPassword(adodb::Connection& connection, const std::string& code, const std::string& password) {
  RequireOperator(connection, code);
  if (password.empty()) throw adodb::Error::Provider("密码不能为空，没有设置密码。");
  if (const std::string refusal = UntypeablePasswordRefusal(password); !refusal.empty()) throw adodb::Error::Provider(refusal);
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
  }
  return {};
}

}  // namespace storeadjust
