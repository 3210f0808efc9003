#pragma once
// The desktop tests' fixture: the demo database, operator 001 signed in through the desktop
// interface (or one built on it), what dialogs remember (their sizes) kept in a folder of the
// test's own, and the editor's window opened on a bill as the browser opens it.
#include <QSettings>
#include <QTemporaryDir>

#include "QtTestSupport.h"
#include "db/DatabaseFactory.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "qt/EditorView.h"
#include "qt/QtUserInterface.h"
#include "support/DemoCopy.h"
#include "support/ModuleSession.h"

namespace qttest {

inline const QString kOrganization = QStringLiteral("StoreAdjustTest");

// Constructed before anything that reads or writes the clerk's settings.
class TemporarySettings {
 public:
  TemporarySettings() {
    EXPECT_TRUE(folder_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path());
  }

 private:
  QTemporaryDir folder_;
};

template <class Ui = storeadjust::qt::QtUserInterface>
class DemoDesktop : public ::testing::Test {
 protected:
  // The editor's window on bill `lsh` (a new bill for ""), shown, active and its first focus set.
  void OpenEditor(const std::string& lsh = "") {
    using Mode = storeadjust::EditorRequest::Mode;
    form = std::make_unique<storeadjust::FrmStoreAdjuctBill>(
        session, storeadjust::EditorRequest{lsh.empty() ? Mode::New : Mode::Amend, lsh});
    form->Load();
    view = std::make_unique<storeadjust::qt::EditorView>(*form);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    QApplication::processEvents();  // the deferred focus move into the out-warehouse
  }
  QLineEdit* Field(const char* name) const { return view->findChild<QLineEdit*>(QString::fromUtf8(name)); }

  TemporarySettings settings;
  testsupport::TempDatabase db{testsupport::DemoCopy};
  Ui ui;
  storeadjust::Session session = testsupport::OpenEditorSession(db, ui);
  std::unique_ptr<storeadjust::FrmStoreAdjuctBill> form;
  std::unique_ptr<storeadjust::qt::EditorView> view;
};

}  // namespace qttest
