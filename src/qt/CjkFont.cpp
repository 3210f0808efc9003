#include "qt/CjkFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace storeadjust::qt {

namespace {

// Families tried in order; the first installed one becomes the fallback.
const char* const kCjkFamilies[] = {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                                    "WenQuanYi Zen Hei", "AR PL UMing CN"};

QString InstalledCjkFamily() {
  const QStringList installed = QFontDatabase::families();
  for (const char* family : kCjkFamilies) {
    if (installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive)) return QString::fromLatin1(family);
  }
  return {};
}

}  // namespace

QString CjkFontFamily() { return InstalledCjkFamily(); }

void UseCjkFontFallback() {
  const QString cjk = InstalledCjkFamily();
  if (cjk.isEmpty()) return;
  QFont font = QApplication::font();
  QStringList families = font.families();
  if (families.isEmpty()) families << font.family();
  if (families.contains(cjk, Qt::CaseInsensitive)) return;
  families << cjk;
  font.setFamilies(families);
  QApplication::setFont(font);
}

}  // namespace storeadjust::qt
