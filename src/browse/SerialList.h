#pragma once
// Bill serials as the browser's messages name several at once ("A,B,C"), or as the print
// component takes them ("A|B|C").
#include <cstddef>
#include <string>
#include <vector>

namespace storeadjust {

inline std::string SerialList(const std::vector<std::string>& serials, const char* separator = ",") {
  std::string joined;
  for (const std::string& serial : serials) joined += (joined.empty() ? "" : separator) + serial;
  return joined;
}

// A message names this many bills at most: marking the whole list (选择) and running a command
// on it could name thousands, in a box running far off the screen with its button.
inline constexpr std::size_t kBillsNamed = 20;

// "…(共N张)" after the bills named, when some are left out; `counted` for what else is named.
inline std::string BillsLeftUnnamed(std::size_t count, const char* counted = "张") {
  return count > kBillsNamed ? "…(共" + std::to_string(count) + counted + ")" : std::string();
}

// The serials for a message: the first kBillsNamed, five to a line (a line without a blank is
// never wrapped, so a long one widens the box past the screen), and how many there are when
// there are more.
inline std::string NamedSerials(const std::vector<std::string>& serials) {
  constexpr std::size_t kPerLine = 5;
  std::string named;
  for (std::size_t i = 0; i < serials.size() && i < kBillsNamed; ++i) {
    if (i > 0) named += i % kPerLine == 0 ? ",\n" : ",";
    named += serials[i];
  }
  return named + BillsLeftUnnamed(serials.size());
}

// The heading, then a line per refused bill ("serial: why"), as many as a message names; or per
// item of a bill (`counted` "项").
inline std::string RefusedBillsText(const std::string& heading, const std::vector<std::string>& refusals,
                                    const char* counted = "张") {
  std::string text = heading;
  for (std::size_t i = 0; i < refusals.size() && i < kBillsNamed; ++i) text += "\n" + refusals[i];
  return refusals.size() > kBillsNamed ? text + "\n" + BillsLeftUnnamed(refusals.size(), counted) : text;
}

}  // namespace storeadjust
