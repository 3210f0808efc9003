// Qt's own dialogs speak Chinese once the module's translation setup has run.

#include <QDialogButtonBox>
#include <QFile>
#include <QTranslator>

#include "QtTestSupport.h"
#include "qt/QtChineseTranslations.h"

namespace {

using storeadjust::qt::ChineseQtTranslationsFile;
using storeadjust::qt::UseChineseQtTranslations;

TEST(QtChineseTranslationsTest, StandardButtonsReadChineseAndASecondSetupAddsNothing) {
  if (!QFile::exists(ChineseQtTranslationsFile())) {
    GTEST_SKIP() << ChineseQtTranslationsFile().toStdString() << " is not installed (Debian: qt6-translations-l10n)";
  }
  ASSERT_TRUE(UseChineseQtTranslations());
  ASSERT_TRUE(UseChineseQtTranslations());
  EXPECT_EQ(qApp->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);

  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text().remove(QLatin1Char('&')), QStringLiteral("确定"));
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("取消"));
  QMessageBox box(QMessageBox::Question, QStringLiteral("提示:"), QStringLiteral("继续？"),
                  QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")));
  EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")));

  // The other desktop tests read Qt's own texts as they are without the setup.
  for (QTranslator* translator : qApp->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
}

}  // namespace
