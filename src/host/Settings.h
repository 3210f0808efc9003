#pragma once
// The system settings: the one-row table sys_var and the key/value table t_SystemProfile.
// LoadSystemSettings fills Session::Settings once per Execute; other screens read profile keys
// at their point of use through GetProfileValue.
#include <cstdint>
#include <string>

#include "host/Session.h"

namespace storeadjust {

// FValue of the profile row (category, key) as text; no row or NULL gives empty text. Failures
// are shown by GetFieldValue (48, "系统提示") and read as empty text.
std::string GetProfileValue(Session& session, const std::string& category, const std::string& key);

// The profile flag rule: on when the value, upper-cased, is "TRUE" or "1"; an empty value is off.
bool IsProfileFlagOn(const std::string& value);

// The stored sys_var.xz2 code mapped to the setting it stands for (0->1, 1->2, 2->6, 3->5,
// 4->3, 5->4, anything else -> 1).
std::int16_t MapXz2(std::int16_t stored);

// Fills session.Settings from the sys_var row, then from the "GL" profile keys in order. An error
// (a missing column, a value that cannot be converted) ends loading with a message box (64,
// "系统提示"); fields loaded before it keep their new values, the rest their previous ones.
// Never throws.
void LoadSystemSettings(Session& session);

}  // namespace storeadjust
