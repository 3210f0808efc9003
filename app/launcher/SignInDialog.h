#pragma once
// The desktop sign-in: operator code and password, Enter signs in. A failed try shows why in the
// dialog and clears the password; after three failures each further try waits longer.
#include <functional>
#include <optional>
#include <string>

namespace storeadjust::launcher {

struct SignedIn {
  std::string code;
  std::string name;
};

// Tries (code, password); gives the operator's name, or throws StartupError with the refusal.
using SignInAttempt = std::function<std::string(const std::string& code, const std::string& password)>;

// Runs the dialog modally; nothing when the user cancels it.
std::optional<SignedIn> RunSignInDialog(const std::string& initialCode, const SignInAttempt& attempt);

}  // namespace storeadjust::launcher
