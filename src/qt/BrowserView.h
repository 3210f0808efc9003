#pragma once
// The desktop window of the bill browser (FrmStoreAdjuctBillBrow): menu bar, toolbar, the list
// grid Vs and the status bar, top to bottom; the grid takes every pixel the window gains. Toolbar
// actions are named by their key, menu actions by their menu names, the status panel StatusBar1,
// so the FormBinder ties each to the model. Under the toolbar the find box and the bill-date
// range (an open end reads 不限). A click on a column header sorts by it (left: ascending first;
// right: descending first) and the header's arrow shows the order. Grey toolbar buttons and menu
// items tell why in their tool tips. The title names the operator; after every toolbar button
// and menu item the list has the keyboard.
#include <functional>

#include "qt/FormView.h"

class QTableView;

namespace storeadjust {
class FrmStoreAdjuctBillBrow;
}

namespace storeadjust::qt {

class BrowserView : public FormView {
  Q_OBJECT

 public:
  BrowserView(FrmStoreAdjuctBillBrow& form, QWidget* parent = nullptr);
  ~BrowserView() override;

  QTableView* ListView() const { return list_; }

 private:
  void BuildMenus(FrmStoreAdjuctBillBrow& form);
  void BuildToolbar(FrmStoreAdjuctBillBrow& form);
  void BuildFindRow(FrmStoreAdjuctBillBrow& form);
  void BuildList();
  void BuildStatusBar();
  void SortByHeader(int section, bool leftButton);
  void ShowSortIndicator();
  void KeepKeyboardOnList();
  void GiveKeyboardToList();
  void NarrowMarkColumn();

  FrmStoreAdjuctBillBrow& browser_;
  QTableView* list_ = nullptr;
  std::function<void()> boundChanged_;
};

// Registers the view for the form's name, so RunModal shows the browser in this window.
void RegisterBrowserView();

}  // namespace storeadjust::qt
