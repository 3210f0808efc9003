#include "QtTestSupport.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QProcess>
#include <QTimer>

namespace qttest {

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[9] = "qt_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

void TypeText(QWidget& widget, const QString& text) {
  for (QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(&widget, &release);
  }
}

void WhenModalShows(std::function<void(QWidget& modal)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      ADD_FAILURE() << "no modal window was shown";
      return;
    }
    act(*modal);
  });
}

void DismissNextBox(QString& shown) {
  WhenModalShows([&shown](QWidget& modal) {
    auto* box = qobject_cast<QMessageBox*>(&modal);
    ASSERT_NE(box, nullptr);
    shown = box->text();
    box->buttons().front()->click();
  });
}

void ClickHeader(QTableView& table, int section) {
  QHeaderView* header = table.horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
}

QString PdfText(const QString& path, const QStringList& options) {
  QProcess pdftotext;
  pdftotext.start(QStringLiteral("pdftotext"), QStringList(options) << path << QStringLiteral("-"));
  EXPECT_TRUE(pdftotext.waitForFinished(30000));
  return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

}  // namespace qttest
