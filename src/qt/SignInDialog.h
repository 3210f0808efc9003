#pragma once
// The desktop sign-in: operator code and password, Enter signs in. A failed try shows why in the
// dialog and clears the password; after three failures each further try waits longer.
#include <functional>
#include <optional>
#include <string>

namespace storeadjust::qt {

struct SignedIn {
  std::string code;
  std::string name;
};

// What one try gives: the operator's name when signed in, else the refusal to show, how long
// the next try must wait (the dialog waits at least as long as its own count of failures asks),
// and whether the code is what to correct (no password would sign it in) rather than the password.
struct SignInAnswer {
  bool signedIn = false;
  std::string text;
  int waitSeconds = 0;
  bool codeToCorrect = false;
};

using SignInAttempt = std::function<SignInAnswer(const std::string& code, const std::string& password)>;

// Runs the dialog modally; nothing when the user cancels it, and then `codeAtCancel` (when given)
// receives the code in the box at that moment. Its controls are named TxtOptCode, TxtPassword,
// Cmd_SignIn and LblMessage.
std::optional<SignedIn> RunSignInDialog(const std::string& initialCode, const SignInAttempt& attempt,
                                        std::string* codeAtCancel = nullptr);

}  // namespace storeadjust::qt
