#pragma once
// Qt's own Chinese translations (qtbase_zh_CN.qm, from the translations folder of the Qt the
// program runs on): the print, file and page-setup dialogs and the standard buttons of message
// boxes and button boxes (确定, 取消, 是, 否) then speak the clerk's language like the module's
// own windows. Call once after the QApplication exists; a second call changes nothing. A
// machine without the file keeps Qt's English texts and the program goes on.
#include <QString>

namespace storeadjust::qt {

// True when the translations are in use (loaded now or by an earlier call).
bool UseChineseQtTranslations();

// The file the translations are read from: qtbase_zh_CN.qm in Qt's translations path.
QString ChineseQtTranslationsFile();

}  // namespace storeadjust::qt
