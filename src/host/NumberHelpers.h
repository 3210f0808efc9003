#pragma once
// Rounding and zero-padding as the module's screens and statements use them.
#include <cstdint>
#include <string>

namespace storeadjust {

// Rounds to 0..6 decimal places, halves away from zero, working on the value's decimal form of
// 15 significant digits, so that what the user sees is what is rounded: 2.675 -> 2.68,
// 1.005 -> 1.01, -2.5 (0 places) -> -3. Any other number of places gives 0.
double RoundTo(double value, std::int16_t places);

// A number with the decimal places a screen's setting gives it (0..6), padded with zeros, or whole
// (to 6 places, without trailing zeros) when those places would round some of it away: a stored
// 5.125 千克 is not shown as 5.13 in a quantity of 2 places, nor 0.0003 as 0.00. Never "-0.00".
// Places outside 0..6 give the number whole.
std::string NumberWithPlaces(double value, int places);

// Writes a number padded to a digit count of 1..10: PadNumber("7", "0", 4) -> "0007"; a number
// with more digits than that is written whole. Padding "#" pads with nothing, any other
// character pads with itself. A digit count outside 1..10 gives empty text; text that is not a
// number comes back unchanged. Fractions are rounded to a whole number, halves away from zero.
std::string PadNumber(const std::string& value, const std::string& padding, std::int16_t digits);

}  // namespace storeadjust
