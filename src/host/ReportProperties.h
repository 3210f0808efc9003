#pragma once
// How a report is laid out on paper: the title printed above it, the page's orientation and the
// size of the type. The report grid keeps one set; the print preview and the export read it.
#include <string>

namespace storeadjust {

enum class PageOrientation { Portrait, Landscape };

struct ReportProperties {
  std::string title;  // empty: the report's name
  PageOrientation orientation = PageOrientation::Portrait;
  int fontSize = 9;  // points

  static constexpr int kMinFontSize = 6;
  static constexpr int kMaxFontSize = 36;
};

}  // namespace storeadjust
