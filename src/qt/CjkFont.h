#pragma once
// Makes sure Chinese captions render: when the application's font has no Chinese glyphs of its
// own, a Chinese-capable family installed on the machine is put behind it as a fallback. Call
// once after the QApplication exists. Does nothing when no such family is installed.
#include <QString>

namespace storeadjust::qt {

void UseCjkFontFallback();

// The first Chinese-capable family installed on the machine; empty text when there is none.
// Printed pages name it outright: a printer has no application font to fall back from.
QString CjkFontFamily();

}  // namespace storeadjust::qt
