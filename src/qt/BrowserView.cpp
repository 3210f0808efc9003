#include "qt/BrowserView.h"

#include <QAction>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QShortcut>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSizeGrip>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>
#include <map>
#include <memory>

#include "browse/FrmStoreAdjuctBillBrow.h"
#include "qt/ClassicMessageBox.h"
#include "qt/FormBinder.h"
#include "qt/FormViewRegistry.h"
#include "qt/OpenEndedDateEdit.h"
#include "qt/QtText.h"
#include "qt/ScreenFit.h"
#include "qt/SortKeys.h"
#include "qt/WindowTitles.h"

namespace storeadjust::qt {

namespace {

// The list: marks set by the model (Space) are painted at once, without resetting the rows.
// Home and End go to the first and last bill, as in other lists of records, rather than to the
// row's first and last column.
class ListTableView : public QTableView {
 public:
  using QTableView::QTableView;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
    if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
  }
  void keyPressEvent(QKeyEvent* event) override {
    QTableView::keyPressEvent(event);
    viewport()->update();
  }
};

}  // namespace

BrowserView::BrowserView(FrmStoreAdjuctBillBrow& form, QWidget* parent) : FormView(form, parent), browser_(form) {
  setObjectName(ToQt(form.Name()));
  ResizeWithinScreen(*this, QSize(1100, 640));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildMenus(form);
  BuildToolbar(form);
  BuildFindRow(form);
  BuildList();
  BuildStatusBar();
  Bind();
  Binder()->SetTitle([this] { return BrowserTitle(browser_.Caption, browser_.CurrentSession()); });
  KeepKeyboardOnList();
  NarrowMarkColumn();
  connect(list_->model(), &QAbstractItemModel::modelReset, this, [this] {
    NarrowMarkColumn();
    ShowSortIndicator();
  });
  boundChanged_ = form.OnChanged;
  form.OnChanged = [this] {
    if (boundChanged_) boundChanged_();
    ShowSortIndicator();
  };
  ShowSortIndicator();
}

BrowserView::~BrowserView() { browser_.OnChanged = boundChanged_; }

// The clerk walks the list with the arrow keys between commands: once a toolbar button or a menu
// item has done its work (and whatever window it opened has closed), the keys belong to the list
// again. Connected after the binder, so it runs after the command.
void BrowserView::KeepKeyboardOnList() {
  for (QAction* action : findChildren<QAction*>()) {
    if (action->objectName().isEmpty() || action->objectName().startsWith(QStringLiteral("qt_"))) continue;
    connect(action, &QAction::triggered, this, [this] { GiveKeyboardToList(); });
  }
}

void BrowserView::GiveKeyboardToList() {
  if (!browser_.IsOpen() || !isVisible()) return;
  activateWindow();
  list_->setFocus(Qt::OtherFocusReason);
}

void BrowserView::NarrowMarkColumn() {
  if (list_->model() != nullptr && list_->model()->columnCount() > 0) list_->setColumnWidth(0, 32);
}

namespace {

const char* MenuItemKey(const std::string& item) {
  static const std::map<std::string, const char*> keys = {
      {"mnuNew", "F3"}, {"mnuPrint", "F9"}, {"mnuCd", "F10"}};  // not Esc: in an open menu it closes the menu
  const auto found = keys.find(item);
  return found == keys.end() ? nullptr : found->second;
}

}  // namespace

void BrowserView::BuildMenus(FrmStoreAdjuctBillBrow& form) {
  auto* bar = new QMenuBar(this);
  for (const MenuInfo& menuInfo : FrmStoreAdjuctBillBrow::Menus()) {
    QMenu* menu = bar->addMenu(ToQt(menuInfo.caption));
    menu->setToolTipsVisible(true);  // a grey item says why
    for (const char* item : menuInfo.items) {
      if (std::string(item) == "-") {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(ToQt(form.Control(item).caption));
      action->setObjectName(ToQt(item));
      // The captions carry no letters to press, so an item a key of the list also runs names
      // that key beside it, and the clerk who finds a command in the menu learns its key. The
      // key belongs to the list: here it acts only while the menu is open.
      if (const char* key = MenuItemKey(item)) {
        action->setShortcut(QKeySequence(QString::fromLatin1(key)));
        action->setShortcutContext(Qt::WidgetShortcut);
      }
    }
  }
  static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);
}

void BrowserView::BuildToolbar(FrmStoreAdjuctBillBrow& form) {
  auto* toolbar = new QToolBar(this);
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (const ToolbarButtonInfo& button : FrmStoreAdjuctBillBrow::ToolbarButtons()) {
    QAction* action = toolbar->addAction(ToQt(form.Control(button.key).caption));
    action->setObjectName(ToQt(button.key));
    action->setToolTip(ToQt(button.toolTip));
    // A button clicked must not take the keyboard from the list.
    if (QWidget* shown = toolbar->widgetForAction(action)) shown->setFocusPolicy(Qt::NoFocus);
  }
  layout()->addWidget(toolbar);
}

// 查找: the find box, then 开单日期: from 至 to; an open end of the range reads 不限, and the
// first step from it goes to the session's date.
void BrowserView::BuildFindRow(FrmStoreAdjuctBillBrow& form) {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(6, 2, 6, 2);
  const auto label = [&](const char* name) {
    auto* shown = new QLabel(ToQt(form.Control(name).caption), row);
    shown->setObjectName(ToQt(name));
    layout->addWidget(shown);
  };
  label("LblFind");
  auto* find = new QLineEdit(row);
  find->setObjectName(ToQt(FrmStoreAdjuctBillBrow::kFind));
  find->setPlaceholderText(QStringLiteral("流水号/仓库/备注"));
  find->setMinimumWidth(220);
  layout->addWidget(find);
  label("LblKdrqRange");
  const QLocale chinese(QLocale::Chinese, QLocale::China);
  const adodb::Date today = form.CurrentSession().SysDate;
  const QDate sessionDate(today.year, today.month, today.day);
  for (const char* name : {FrmStoreAdjuctBillBrow::kDateFrom, FrmStoreAdjuctBillBrow::kDateTo}) {
    if (std::string(name) == FrmStoreAdjuctBillBrow::kDateTo) label("LblKdrqTo");
    auto* date = new OpenEndedDateEdit(sessionDate, row);
    date->setObjectName(ToQt(name));
    date->setLocale(chinese);
    date->calendarWidget()->setLocale(chinese);
    date->setMinimumDate(QDate(1900, 1, 1));
    date->setSpecialValueText(QStringLiteral("不限"));
    date->setDate(date->minimumDate());
    date->setMinimumWidth(120);
    layout->addWidget(date);
  }
  // The list's sort keys, which the key guide below has no room for at the window's own width, in
  // the row's spare width; on a narrow window they give way to the find fields.
  auto* sortKeys = new QLabel(SortKeysHint(), row);
  sortKeys->setObjectName(QStringLiteral("LblSortKeys"));
  sortKeys->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  sortKeys->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  sortKeys->setForegroundRole(QPalette::PlaceholderText);
  layout->addWidget(sortKeys, 1);
  this->layout()->addWidget(row);
  // Ctrl+F from anywhere in the window, the toolbar and the date pickers included.
  auto* findKey = new QShortcut(QKeySequence::Find, this);
  connect(findKey, &QShortcut::activated, this, [this, find] {
    browser_.SetFocus(FrmStoreAdjuctBillBrow::kFind);
    find->setFocus(Qt::ShortcutFocusReason);
    find->selectAll();
  });
}

void BrowserView::BuildList() {
  list_ = new ListTableView(this);
  list_->setObjectName(ToQt(FrmStoreAdjuctBillBrow::kGrid));
  list_->verticalHeader()->hide();
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->setAlternatingRowColors(true);
  // The list selects whole rows, so a cell cursor moved by Tab would wander its columns unseen and
  // keep the clerk in the list: Tab goes on to the find row instead.
  list_->setTabKeyNavigation(false);
  QHeaderView* header = list_->horizontalHeader();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicatorClearable(true);
  header->setToolTip(SortKeysToolTip());
  SortByKeys(*list_, [this](int section, bool ascending) {
    try {
      browser_.SortByKey(section, ascending);
    } catch (const std::exception& error) {
      ShowFailureBox(error, this);
    }
  });
  connect(header, &QHeaderView::sectionClicked, this, [this](int section) { SortByHeader(section, true); });
  header->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint& at) {
    const int section = header->logicalIndexAt(at);
    if (section >= 0) SortByHeader(section, false);
  });
  static_cast<QVBoxLayout*>(layout())->addWidget(list_, 1);
}

void BrowserView::BuildStatusBar() {
  auto* status = new QWidget(this);
  auto* row = new QHBoxLayout(status);
  row->setContentsMargins(4, 0, 0, 0);
  auto* keys = new QLabel(status);
  keys->setObjectName(ToQt(FrmStoreAdjuctBillBrow::kKeyGuidePanel));
  // The key guide gives way to a narrow window rather than pushing it, and the record count beside
  // it, past the screen's edge; it wraps onto another line there, so a clerk at the keyboard still
  // reads its last keys. The count takes only its own width, so the spare width goes to the guide.
  keys->setWordWrap(true);
  keys->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  row->addWidget(keys, 1);
  auto* panel2 = new QLabel(status);
  panel2->setObjectName(ToQt(FrmStoreAdjuctBillBrow::kStatusPanel));
  row->addWidget(panel2, 0, Qt::AlignTop);
  row->addWidget(new QSizeGrip(status), 0, Qt::AlignBottom | Qt::AlignRight);
  layout()->addWidget(status);
}

void BrowserView::SortByHeader(int section, bool leftButton) {
  try {
    if (leftButton) {
      browser_.SortByHeaderClick(section);
    } else {
      browser_.RightClick(FrmStoreAdjuctBillBrow::kGrid, 0, section);
    }
  } catch (const std::exception& error) {
    ShowFailureBox(error, this);
  }
}

// The header's own click handling moves the arrow too; the model's order is what counts.
void BrowserView::ShowSortIndicator() {
  QHeaderView* header = list_->horizontalHeader();
  const int column = static_cast<int>(browser_.SortColumn());
  const Qt::SortOrder order = browser_.SortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder;
  if (column < 1) {
    header->setSortIndicator(-1, Qt::AscendingOrder);
  } else if (header->sortIndicatorSection() != column || header->sortIndicatorOrder() != order) {
    header->setSortIndicator(column, order);
  }
}

void RegisterBrowserView() {
  RegisterFormView("FrmStoreAdjuctBillBrow", [](FormModel& form, QWidget* parent) -> std::unique_ptr<FormView> {
    return std::make_unique<BrowserView>(static_cast<FrmStoreAdjuctBillBrow&>(form), parent);
  });
}

}  // namespace storeadjust::qt
