#pragma once
// How many rounds a randomised or many-process test runs: fewer under AddressSanitizer, where
// every statement costs several times as much. STOREADJUST_TEST_ROUNDS overrides both.
#include <cstdlib>
#include <string>

namespace testsupport {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

inline int Rounds(int normal, int sanitized) {
  if (const char* given = std::getenv("STOREADJUST_TEST_ROUNDS"); given && *given) return std::stoi(given);
  return kSanitized ? sanitized : normal;
}

}  // namespace testsupport
