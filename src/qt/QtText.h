#pragma once
// The models hold UTF-8 text; Qt takes QString.
#include <QString>
#include <string>

namespace storeadjust::qt {

inline QString ToQt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace storeadjust::qt
