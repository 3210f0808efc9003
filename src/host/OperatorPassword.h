#pragma once
// Signing in to the stand-alone launcher: an operator of Operators with a password kept as an
// Argon2id hash (libsodium's crypto_pwhash_str) in the launcher's own table. Inside the ERP the
// host signs the clerk in and nothing here is used.
#include <cstdint>
#include <istream>
#include <optional>
#include <string>

namespace adodb {
class Connection;
}

namespace storeadjust {

enum class SignInOutcome {
  kSignedIn,
  kUnknownOperator,  // the code is not in Operators
  kNoPassword,       // the operator has no password set
  kEmptyPassword,    // nothing was typed
  kWrongPassword,
  kMustWait,  // wrong passwords came too fast: this one was not checked
  kLocked,    // another program holds the database: a wrong password could not be counted
};

struct SignInResult {
  SignInOutcome outcome = SignInOutcome::kUnknownOperator;
  std::string operatorName;  // from Operators; empty for an unknown code
  std::string operatorCode;  // the code as Operators spells it; empty for an unknown code
  int failures = 0;          // wrong passwords in a row, this one included
  int waitSeconds = 0;       // before the next try is checked (kWrongPassword, kMustWait)
};

// How long signing in, or setting a password, waits for another program's write lock: another
// clerk's save holds it for a moment; a lock held longer is said at once, where the usual wait
// would leave a frozen window, or a silent tool, with no word for half a minute.
inline constexpr long kPasswordLockWaitMs = 2000;

// Checks the password of the operator with the code. Wrong passwords are counted with the password,
// in the database, so the wait they earn holds in every launcher and across restarts: until it is
// over a try is refused unchecked. A database that cannot keep the count (read-only, a server's
// table without its columns) still signs in. A database another program holds is waited for a
// moment only: a wrong password that cannot be counted is then refused as kLocked, without saying
// it was wrong; the right one signs in, its count left to stand. Throws adodb::Error when the
// tables cannot be read (LockedByOthers when they are held that long).
SignInResult CheckOperatorPassword(adodb::Connection& connection, const std::string& code, const std::string& password);

// Throws adodb::Error, saying so, for an operator code that is not in Operators: asked before a
// password is typed for it.
void RequireOperator(adodb::Connection& connection, const std::string& code);

// Sets (or replaces) the operator's password. Throws adodb::Error for an operator code that is
// not in Operators, or an empty password or one the sign-in dialog cannot take (see below); the
// hash is made before the transaction opens.
void SetOperatorPassword(adodb::Connection& connection, const std::string& code, const std::string& password);

// Why the clerk could not type the password in the sign-in dialog; empty when he can. Input
// methods are off in a password box (and would show what is composed in clear), so a character
// not on the keyboard itself, a Chinese one above all, can only come from a script.
std::string UntypeablePasswordRefusal(const std::string& password);

// Where the operator code being signed in came from, so that a refusal says where to give another.
enum class CodeGiven { kOnCommandLine, kInDialog };

// Why the code is not one to sign in with, for the database named databaseName ("数据库文件
// PATH"): a database without any operator yet (one made by storeadjust-db empty) says so and how
// to get one that has them. Throws adodb::Error when Operators cannot be read.
std::string UnknownOperatorRefusal(adodb::Connection& connection, const std::string& databaseName, const std::string& code,
                                   CodeGiven given);

// "操作员 001（系统管理员）", the way messages name an operator.
std::string OperatorLabel(const std::string& code, const std::string& name);

// The Chinese line that tells the user why signing in failed, naming the operator; empty for
// kSignedIn.
std::string SignInRefusal(const SignInResult& result, const std::string& code);

// The password a script hands over on standard input: its first line, without the line end;
// nothing when the input ends before any line (/dev/null, a desktop start).
std::optional<std::string> PasswordFromInput(std::istream& input);

// How long the sign-in dialog waits before it takes another try: nothing for the first three
// failures, then 2, 4, 8 ... seconds, at most five minutes, so guessing gets slow.
int SignInDelaySeconds(int failures);

// What is left, at `now`, of the wait earned by `failures` wrong passwords, the last one at
// `lastFailedAt` (seconds since 1970). Never more than the wait itself, and none when the last
// failure lies in the future (the clock was set back) or more than a day back: a wrong clock or
// an old count cannot lock a clerk out.
int SignInWaitLeft(int failures, std::int64_t lastFailedAt, std::int64_t now);

// Removes the operator's password, so that he can no longer sign in until one is set again; a
// password kept for a code no longer in Operators is removed too. False when there was none.
// Throws adodb::Error when the table cannot be written.
bool RemoveOperatorPassword(adodb::Connection& connection, const std::string& code);

}  // namespace storeadjust
