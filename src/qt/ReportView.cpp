#include "qt/ReportView.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>
#include <memory>

#include "browse/FrmReport.h"
#include "qt/ClassicMessageBox.h"
#include "qt/FormBinder.h"
#include "qt/FormViewRegistry.h"
#include "qt/QtText.h"
#include "qt/WindowTitles.h"

namespace storeadjust::qt {

namespace {

// Enter presses the command that has the keyboard, as Space does: a clerk who tabbed to 导出 and
// pressed Enter, as on every other button of the module, saw nothing happen.
class ReportCommandEnter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button != nullptr && event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        button->click();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

ReportView::ReportView(FrmReport& form, QWidget* parent) : FormView(form, parent), report_(form) {
  setObjectName(ToQt(form.Name()));
  resize(1000, 600);
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
}

void ReportView::BuildToolbar() {
  auto* toolbar = new QToolBar(this);
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  auto* enter = new ReportCommandEnter(this);
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
  grid_ = new QTableView(this);
  grid_->setObjectName(ToQt(FrmReport::kGrid));
  grid_->setAlternatingRowColors(true);
  grid_->setTabKeyNavigation(false);  // Tab goes on to the toolbar's commands
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  QHeaderView* header = grid_->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicator(-1, Qt::AscendingOrder);
  connect(header, &QHeaderView::sectionClicked, this, [this](int section) { SortByHeader(section); });
  static_cast<QVBoxLayout*>(layout())->addWidget(grid_, 1);
}

// A column sorted ascending turns descending on the next click; any other column starts
// ascending. The order column (序号) puts the rows back in the query's order.
void ReportView::SortByHeader(int section) {
  QvGrid& grid = report_.ReportGrid();
  try {
    const std::optional<std::size_t> column = grid.ColumnAtGridCol(section);
    if (!column) {
      grid.ClearSort();
      return;
    }
    const bool ascendingNow = grid.SortColumn() == column && grid.CurrentSortOrder() == QvGrid::SortOrder::Ascending;
    grid.SortBy(*column, ascendingNow ? QvGrid::SortOrder::Descending : QvGrid::SortOrder::Ascending);
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
