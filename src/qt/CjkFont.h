#pragma once
// Makes sure Chinese captions render: when the application's font has no Chinese glyphs of its
// own, a Chinese-capable family installed on the machine is put behind it as a fallback. Call
// once after the QApplication exists. Does nothing when no such family is installed.
namespace storeadjust::qt {

void UseCjkFontFallback();

}  // namespace storeadjust::qt
