#pragma once
// How values are written into the scenario transcript (by ScriptedUserInterface and the player):
// texts with carriage returns as \r and line feeds as \n, so every event stays on one line;
// numbers in plain decimal with at most 15 significant digits; NULL as empty text; dates as
// YYYY-MM-DD, with HH:MM:SS when the time is not midnight; Booleans as 1 or 0.
#include <string>
#include <string_view>

#include "adodb/Variant.h"

namespace storeadjust {

// \r and \n written as the two-character escapes.
std::string EscapeLineBreaks(std::string_view text);
// The text between double quotes, line breaks escaped.
std::string Quoted(std::string_view text);
// A value as it prints, before escaping.
std::string ValueText(const adodb::Variant& value);

}  // namespace storeadjust
