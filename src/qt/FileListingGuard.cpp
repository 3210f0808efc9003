#include "qt/FileListingGuard.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFile>
#include <QFileSystemModel>
#include <QHash>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QMutex>
#include <QPrintDialog>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QWidget>
#include <QXmlStreamReader>
#include <memory>

#include "host/FileNotWritten.h"
#include "host/UserInterface.h"
#include "qt/ApplicationEventFilter.h"
#include "qt/ClassicMessageBox.h"

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
    // Qt's Chinese catalogue has no word for it: its own "Folder" stood in English in the list.
    if (info.isDir()) return QStringLiteral("文件夹");
    // A kind's own description follows the desktop's language, and stood in English beside the
    // list's Chinese on an English desktop: the Chinese one the desktop keeps is taken instead.
    const QMimeType kind = Kind(info);
    QString chinese = kind.isDefault() ? QString() : ChineseComment(kind.name());
    if (!chinese.isEmpty()) return chinese;
    const QString suffix = info.suffix().toUpper();
    return suffix.isEmpty() ? QStringLiteral("文件") : suffix + QStringLiteral(" 文件");
  }

 private:
  QMimeType Kind(const QFileInfo& info) const { return mime_.mimeTypeForFile(info, QMimeDatabase::MatchExtension); }

  // The zh_CN description in the kind's own file of the shared MIME database; empty when there
  // is none. Lists ask from their reading thread too, hence the lock.
  QString ChineseComment(const QString& name) const {
    const QMutexLocker lock(&mutex_);
    auto known = comments_.constFind(name);
    if (known != comments_.constEnd()) return *known;
    QString comment;
    const QString own = QStringLiteral("mime/") + name + QStringLiteral(".xml");
    QFile file(QStandardPaths::locate(QStandardPaths::GenericDataLocation, own));
    if (file.open(QIODevice::ReadOnly)) {
      QXmlStreamReader xml(&file);
      while (comment.isEmpty() && !xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("comment") &&
            xml.attributes().value(QLatin1String("xml:lang")) == QLatin1String("zh_CN")) {
          comment = xml.readElementText().trimmed();
        }
      }
    }
    comments_.insert(name, comment);
    return comment;
  }

  QMimeDatabase mime_;
  mutable QMutex mutex_;
  mutable QHash<QString, QString> comments_;
};

// The list's size and date columns are written out by Qt in the desktop's language ("0 bytes",
// "12/9/26 1:37 PM" on an English desktop) whatever the program's: they are written again in
// Chinese, as the list's other words are, from the model's own figures.
class ChineseSizeAndDate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  static constexpr int kSizeColumn = 1;
  static constexpr int kDateColumn = 3;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const auto* files = qobject_cast<const QFileSystemModel*>(index.model());
    if (files == nullptr) return;
    static const QLocale chinese(QLocale::Chinese, QLocale::China);
    if (index.column() == kSizeColumn && !files->isDir(index)) {
      option->text = chinese.formattedDataSize(files->size(index));
    } else if (index.column() == kDateColumn) {
      option->text = chinese.toString(files->lastModified(index), QLocale::ShortFormat);
    }
  }
};

void WriteSizesAndDatesInChinese(QWidget& window, ChineseSizeAndDate& delegate) {
  for (QTreeView* list : window.findChildren<QTreeView*>()) {
    if (qobject_cast<QFileSystemModel*>(list->model()) == nullptr) continue;
    list->setItemDelegateForColumn(ChineseSizeAndDate::kSizeColumn, &delegate);
    list->setItemDelegateForColumn(ChineseSizeAndDate::kDateColumn, &delegate);
  }
}

// Qt's print dialog tries the PDF file it is to write by opening it to append, then closes it,
// before it asks whether to replace it: the database named there (typed, or taken from the
// completer) would lose SQLite's locks even when the clerk answers no. Its 打印 looks at the
// name first, and a file this program has open is refused while the dialog stays open.
void LookAtPrintFileFirst(QPrintDialog& dialog) {
  static const char* const kLooked = "storeadjustLooksAtPrintFile";
  if (dialog.property(kLooked).toBool()) return;
  auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
  auto* buttons = dialog.findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly);
  if (file == nullptr || buttons == nullptr) return;
  if (!QObject::disconnect(buttons, &QDialogButtonBox::accepted, &dialog, nullptr)) return;
  dialog.setProperty(kLooked, true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog, file] {
    const std::string why = file->isEnabled() ? WhyFileKeptFromWriting(file->text().toStdString()) : std::string();
    if (why.empty()) return dialog.accept();
    std::unique_ptr<QMessageBox> box(MakeClassicMessageBox(
        QStringLiteral("文件 ") + file->text() + QStringLiteral(" 无法写入：") + QString::fromStdString(why),
        mb::kOkOnly | mb::kExclamation, dialog.windowTitle(), &dialog));
    RunClassicMessageBox(*box);
  });
}

// A file list reads its folder on a thread of its own and asks for icons once the window's
// event loop runs, which is after the window is shown: the provider is in place by then. A file
// dialog opened on a file (the print dialog's "..." on the name typed there) is asked that file's
// kind at once, while it is being built: its provider is replaced as its widgets are added.
class FileListingGuard : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool building = event->type() == QEvent::ChildAdded && qobject_cast<QFileDialog*>(watched) != nullptr;
    if (building || (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())) {
      for (QFileSystemModel* model : watched->findChildren<QFileSystemModel*>()) {
        if (model->iconProvider() != &provider_) model->setIconProvider(&provider_);
      }
      if (auto* print = qobject_cast<QPrintDialog*>(watched)) LookAtPrintFileFirst(*print);
      if (!building) WriteSizesAndDatesInChinese(*static_cast<QWidget*>(watched), sizesAndDates_);
    }
    return false;
  }

 private:
  NameOnlyIconProvider provider_;
  ChineseSizeAndDate sizesAndDates_;
};

}  // namespace

void KeepFileListsFromOpeningFiles() {
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  InstallOnceOnApplication<FileListingGuard>(QStringLiteral("FileListingGuard"));
}

}  // namespace storeadjust::qt
