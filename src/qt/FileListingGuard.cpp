#include "qt/FileListingGuard.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMimeDatabase>
#include <QWidget>

namespace storeadjust::qt {

namespace {

// Icons and kinds from the file's name alone: the file is never opened.
class NameOnlyIconProvider : public QAbstractFileIconProvider {
 public:
  QIcon icon(const QFileInfo& info) const override {
    if (info.isDir()) return QAbstractFileIconProvider::icon(Folder);
    return QIcon::fromTheme(Kind(info).iconName(), QAbstractFileIconProvider::icon(File));
  }
  QString type(const QFileInfo& info) const override {
    if (info.isDir()) return QAbstractFileIconProvider::type(info);
    return Kind(info).comment();
  }

 private:
  QMimeType Kind(const QFileInfo& info) const { return mime_.mimeTypeForFile(info, QMimeDatabase::MatchExtension); }
  QMimeDatabase mime_;
};

// A file list reads its folder on a thread of its own and asks for icons once the window's
// event loop runs, which is after the window is shown: the provider is in place by then.
class FileListingGuard : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
      for (QFileSystemModel* model : watched->findChildren<QFileSystemModel*>()) {
        if (model->iconProvider() != &provider_) model->setIconProvider(&provider_);
      }
    }
    return false;
  }

 private:
  NameOnlyIconProvider provider_;
};

}  // namespace

void KeepFileListsFromOpeningFiles() {
  static const QString name = QStringLiteral("FileListingGuard");
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  auto* app = QCoreApplication::instance();
  if (app == nullptr || app->findChild<QObject*>(name, Qt::FindDirectChildrenOnly) != nullptr) return;
  auto* guard = new FileListingGuard(app);
  guard->setObjectName(name);
  app->installEventFilter(guard);
}

}  // namespace storeadjust::qt
