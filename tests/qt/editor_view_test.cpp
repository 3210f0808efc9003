// The editor's window on the demo database: it opens with the model's controls under their own
// names, keys reach the model and the focus follows it, deferred focus moves land once shown,
// and numeric fields show the decimals the settings give.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "../core/editor_support/EditorDatabase.h"
#include "QtTestSupport.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "qt/EditorView.h"

namespace {

using storeadjust::ControlKind;
using storeadjust::FrmStoreAdjuctBill;
using storeadjust::qt::EditorView;

class EditorViewTest : public ::testing::Test {
 protected:
  void Open(const std::string& lsh) {
    session.IsNewBill = lsh.empty();
    session.CurrentLSH = lsh;
    form.Load();
    view = std::make_unique<EditorView>(form);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    QApplication::processEvents();
  }
  template <typename T>
  T* Widget(const std::string& name) const {
    return view->findChild<T*>(QString::fromStdString(name));
  }

  storeadjust::editortest::EditorDatabase db;
  storeadjust::ScriptedUserInterface ui;
  storeadjust::Session session = db.OpenSession(ui);
  FrmStoreAdjuctBill form{session};
  std::unique_ptr<EditorView> view;
};

TEST_F(EditorViewTest, EveryControlHasAWidgetOfItsNameWithItsCaption) {
  Open("");
  for (const std::string& name : form.ControlNames()) {
    const auto kind = form.Control(name).kind;
    QObject* object = kind == ControlKind::ToolbarButton ? static_cast<QObject*>(Widget<QAction>(name))
                                                         : static_cast<QObject*>(Widget<QWidget>(name));
    EXPECT_NE(object, nullptr) << name;
  }
  EXPECT_EQ(Widget<QPushButton>("Cmd_Save")->text(), QStringLiteral("保 存"));
  EXPECT_EQ(Widget<QLabel>("LblJl")->text(), QStringLiteral("计量："));
  EXPECT_EQ(Widget<QGroupBox>("FraContent")->title(), QStringLiteral("调拨明细"));
  EXPECT_EQ(Widget<QLabel>("StatusBar1")->text().toStdString(), storeadjust::kEditorKeyGuide);
  EXPECT_FALSE(Widget<QAction>("确认")->isVisible());
  EXPECT_EQ(Widget<QLineEdit>("TxtLSH")->text(), QStringLiteral("DBD202403050005"));
  EXPECT_TRUE(Widget<QLineEdit>("TxtLSH")->isReadOnly());
}

TEST_F(EditorViewTest, DeferredFocusThenEnterInTheRemarkMovesToTheGoods) {
  Open("");
  EXPECT_EQ(form.Focus(), "TxtBcCkID");
  EXPECT_TRUE(Widget<QLineEdit>("TxtBcCkID")->hasFocus());
  auto* remark = Widget<QLineEdit>("TxtBZ");
  remark->setFocus();
  EXPECT_EQ(form.Focus(), "TxtBZ");
  QTest::keyClick(remark, Qt::Key_Return);
  EXPECT_EQ(form.Focus(), "TxtHH");
  EXPECT_TRUE(Widget<QLineEdit>("TxtHH")->hasFocus());
}

TEST_F(EditorViewTest, StoredBillShowsLinesPanelAndDecimals) {
  Open("DBD202403010001");
  EXPECT_TRUE(Widget<QLineEdit>("TxtHH")->hasFocus());
  auto* lines = Widget<QTableView>("VfgContent");
  ASSERT_EQ(lines->model()->rowCount(), 3);
  EXPECT_EQ(lines->model()->index(2, 2).data().toString(), QStringLiteral("0014"));
  EXPECT_EQ(Widget<QTableView>("VfgSpxx")->model()->index(0, 0).data().toString(), QStringLiteral("感冒灵颗粒"));
  form.Type("TxtDj", "2.5");
  EXPECT_EQ(Widget<QLineEdit>("TxtDj")->text(), QStringLiteral("2.50"));
  EXPECT_EQ(form.Text("TxtDj"), "2.5");
  QTest::keyClick(Widget<QLineEdit>("TxtHH"), Qt::Key_Escape);
  EXPECT_FALSE(form.IsOpen());
}

}  // namespace
