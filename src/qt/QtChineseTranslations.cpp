#include "qt/QtChineseTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace storeadjust::qt {

namespace {

const char* const kCatalogue = "qtbase_zh_CN";
const char* const kTranslatorName = "storeadjust-qtbase-zh_CN";

}  // namespace

QString ChineseQtTranslationsFile() {
  return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).filePath(QString::fromLatin1(kCatalogue) + ".qm");
}

bool UseChineseQtTranslations() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return false;
  if (app->findChild<QTranslator*>(QString::fromLatin1(kTranslatorName), Qt::FindDirectChildrenOnly)) return true;
  auto* translator = new QTranslator(app);
  translator->setObjectName(QString::fromLatin1(kTranslatorName));
  if (!translator->load(QString::fromLatin1(kCatalogue), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;  // English dialogs are still usable dialogs
    return false;
  }
  return true;
}

}  // namespace storeadjust::qt
