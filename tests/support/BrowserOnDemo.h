#pragma once
// The browser on a fresh demo database, loaded as the host shows it, through the given scripted
// interface.
#include <gtest/gtest.h>

#include <string>

#include "browse/FrmStoreAdjuctBillBrow.h"
#include "support/DemoCopy.h"
#include "support/ModuleSession.h"

namespace testsupport {

template <typename Ui = storeadjust::ScriptedUserInterface>
class BrowserOnDemo : public ::testing::Test {
 protected:
  void SetUp() override { browser.Load(); }
  // The grid row listing the serial.
  long RowOf(const std::string& lsh) {
    for (long row = 1; row < browser.ListGrid().Rows(); ++row) {
      if (browser.ListGrid().TextMatrix(row, 1) == lsh) return row;
    }
    ADD_FAILURE() << lsh << " is not listed";
    return 0;
  }

  TempDatabase db{testsupport::DemoCopy};
  Ui ui;
  storeadjust::Session session = OpenBrowserSession(db, ui);
  storeadjust::FrmStoreAdjuctBillBrow browser{session};
};

}  // namespace testsupport
