#include "qt/ReportView.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>
#include <memory>
#include <optional>

#include "browse/FrmReport.h"
#include "qt/ClassicMessageBox.h"
#include "qt/EnterClicksButton.h"
#include "qt/FormBinder.h"
#include "qt/FormViewRegistry.h"
#include "qt/QtText.h"
#include "qt/ScreenFit.h"
#include "qt/SortKeys.h"
#include "qt/WindowTitles.h"

namespace storeadjust::qt {

namespace {

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
  // The sort keys are read beside the title, as beside the browser's find row: a clerk at the
  // keyboard does not hover over the header to find them.
  auto* sortKeys = new QLabel(SortKeysHint(), band);
  sortKeys->setObjectName(QStringLiteral("LblSortKeys"));
  sortKeys->setForegroundRole(QPalette::PlaceholderText);
  auto* balance = new QWidget(band);  // keeps the title in the middle
  balance->setFixedWidth(sortKeys->sizeHint().width());
  bandLayout->addWidget(balance);
  bandLayout->addWidget(title, 1);
  bandLayout->addWidget(sortKeys);
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
  header->setToolTip(SortKeysToolTip());
  connect(header, &QHeaderView::sectionClicked, this, [this](int section) { SortByHeader(section); });
  SortByKeys(*grid_, [this](int section, bool ascending) {
    SortByHeader(section, ascending ? QvGrid::SortOrder::Ascending : QvGrid::SortOrder::Descending);
  });
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
