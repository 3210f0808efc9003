#include "qt/ReportView.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "browse/FrmReport.h"
#include "qt/ClassicMessageBox.h"
#include "qt/EnterClicksButton.h"
#include "qt/FormBinder.h"
#include "qt/FormViewRegistry.h"
#include "qt/QtText.h"
#include "qt/ScreenFit.h"
#include "qt/WindowTitles.h"

namespace storeadjust::qt {

namespace {

// Ctrl+Up and Ctrl+Down sort by the column the clerk stands on, up and down: the header's sort
// at the keyboard, for a clerk who walks the report with the arrow keys.
class SortKeys : public QObject {
 public:
  SortKeys(QTableView& grid, std::function<void(int, std::optional<QvGrid::SortOrder>)> sort)
      : QObject(&grid), grid_(grid), sort_(std::move(sort)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* press = static_cast<QKeyEvent*>(event);
    const bool up = press->key() == Qt::Key_Up;
    if ((!up && press->key() != Qt::Key_Down) || press->modifiers() != Qt::ControlModifier) return false;
    sort_(std::max(0, grid_.currentIndex().column()),
          up ? QvGrid::SortOrder::Ascending : QvGrid::SortOrder::Descending);
    return true;
  }

 private:
  QTableView& grid_;
  std::function<void(int, std::optional<QvGrid::SortOrder>)> sort_;
};

// The grid selects whole lines, which hides the cell the clerk stands on: a frame shows it, so he
// sees which column Ctrl+Up and Ctrl+Down sort by.
class CurrentCellFrame : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (!option.state.testFlag(QStyle::State_HasFocus)) return;
    painter->save();
    painter->setPen(QPen(option.palette.color(QPalette::HighlightedText), 1, Qt::DotLine));
    painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
    painter->restore();
  }
};

// A typed character moves nobody. The view's own type-to-find jumped to the next line whose cell
// in the current column began with it: a clerk who pressed a letter by mistake found himself on
// another bill's line without a word, and the sort keys, 过滤 and 页面 act where he stands. The
// report's find is 过滤, as in the classic grid, where a letter did nothing.
class ReportTableView : public QTableView {
 public:
  using QTableView::QTableView;
  void keyboardSearch(const QString&) override {}
};

}  // namespace

ReportView::ReportView(FrmReport& form, QWidget* parent) : FormView(form, parent), report_(form) {
  setObjectName(ToQt(form.Name()));
  ResizeWithinScreen(*this, QSize(1000, 600));
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildToolbar();
  BuildTitleBand(form);
  BuildGrid();
  Bind();
  Binder()->SetTitle([this] { return ReportTitle(report_.Caption, report_.CurrentSession()); });
  connect(grid_->model(), &QAbstractItemModel::modelReset, this, [this] { ShowSortIndicator(); });
  ShowSortIndicator();
  // Once a command has done its work (and its dialog has closed), the arrow keys walk the report
  // again, as in the browser's list: connected after the binder, so it runs after the command.
  for (QAction* action : findChild<QToolBar*>(QStringLiteral("Toolbar1"))->actions()) {
    connect(action, &QAction::triggered, this, [this] {
      if (report_.IsOpen() && isVisible()) grid_->setFocus(Qt::OtherFocusReason);
    });
  }
}

void ReportView::BuildToolbar() {
  auto* toolbar = new QToolBar(this);
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  auto* enter = new EnterClicksButton(this);
  for (const ToolbarButtonInfo& button : FrmReport::ToolbarButtons()) {
    QAction* action = toolbar->addAction(ToQt(button.key));
    action->setObjectName(ToQt(button.key));
    action->setToolTip(ToQt(button.toolTip));
    // The report has no other controls than its grid and these commands: Tab takes the clerk
    // from the grid along them, and Space or Enter presses one, so none needs the mouse.
    if (QWidget* shown = toolbar->widgetForAction(action)) {
      shown->setFocusPolicy(Qt::TabFocus);
      shown->installEventFilter(enter);
    }
  }
  layout()->addWidget(toolbar);
}

void ReportView::BuildTitleBand(FrmReport& form) {
  auto* band = new QFrame(this);
  band->setObjectName(ToQt(FrmReport::kTitleBand));
  band->setFrameShape(QFrame::StyledPanel);
  auto* bandLayout = new QHBoxLayout(band);
  auto* title = new QLabel(band);
  title->setObjectName(ToQt(FrmReport::kTitleLabel));
  title->setAlignment(Qt::AlignCenter);
  QFont font = title->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.6);
  title->setFont(font);
  title->setText(ToQt(form.Control(FrmReport::kTitleLabel).caption));
  bandLayout->addWidget(title);
  layout()->addWidget(band);
}

void ReportView::BuildGrid() {
  grid_ = new ReportTableView(this);
  grid_->setObjectName(ToQt(FrmReport::kGrid));
  grid_->setAlternatingRowColors(true);
  grid_->setTabKeyNavigation(false);  // Tab goes on to the toolbar's commands
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  QHeaderView* header = grid_->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicator(-1, Qt::AscendingOrder);
  header->setToolTip(QStringLiteral("单击列标题排序；在某一列中按 Ctrl+↑ 升序、Ctrl+↓ 降序"));
  connect(header, &QHeaderView::sectionClicked, this, [this](int section) { SortByHeader(section); });
  grid_->setItemDelegate(new CurrentCellFrame(grid_));
  grid_->installEventFilter(
      new SortKeys(*grid_,
                   [this](int section, std::optional<QvGrid::SortOrder> order) { SortByHeader(section, order); }));
  static_cast<QVBoxLayout*>(layout())->addWidget(grid_, 1);
}

// A column sorted ascending turns descending on the next click; any other column starts
// ascending. The order column (序号) puts the rows back in the query's order.
void ReportView::SortByHeader(int section, std::optional<QvGrid::SortOrder> order) {
  QvGrid& grid = report_.ReportGrid();
  try {
    const std::optional<std::size_t> column = grid.ColumnAtGridCol(section);
    if (!column) {
      grid.ClearSort();
      return;
    }
    const bool ascendingNow = grid.SortColumn() == column && grid.CurrentSortOrder() == QvGrid::SortOrder::Ascending;
    grid.SortBy(*column, order.value_or(ascendingNow ? QvGrid::SortOrder::Descending : QvGrid::SortOrder::Ascending));
  } catch (const std::exception& error) {
    ShowFailureBox(error, this);
  }
}

void ReportView::ShowSortIndicator() {
  const QvGrid& grid = report_.ReportGrid();
  QHeaderView* header = grid_->horizontalHeader();
  const std::optional<std::size_t> sorted = grid.SortColumn();
  for (long col = 0; sorted && col < grid.Cols(); ++col) {
    if (grid.ColumnAtGridCol(col) == sorted) {
      header->setSortIndicator(static_cast<int>(col), grid.CurrentSortOrder() == QvGrid::SortOrder::Ascending
                                                          ? Qt::AscendingOrder
                                                          : Qt::DescendingOrder);
      return;
    }
  }
  header->setSortIndicator(-1, Qt::AscendingOrder);
}

void RegisterReportView() {
  RegisterFormView("FrmReport", [](FormModel& form, QWidget* parent) -> std::unique_ptr<FormView> {
    return std::make_unique<ReportView>(static_cast<FrmReport&>(form), parent);
  });
}

}  // namespace storeadjust::qt
