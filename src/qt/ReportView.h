#pragma once
// The desktop window of the report (FrmReport): the toolbar Toolbar1, the title band Pic1 with
// the report's name LblRptName, and the grid QvGrid1 taking every pixel the window gains. Its
// widgets carry the model's names, so the FormBinder ties toolbar actions, Esc and the grid to
// the model. A click on a column header sorts by that column, ascending first, then the other
// way on the next click; the header shows which. Ctrl+Up and Ctrl+Down sort by the current
// column, up and down. Columns are resized by dragging their edges.
#include <optional>

#include "host/QvGrid.h"
#include "qt/FormView.h"

class QTableView;

namespace storeadjust {
class FrmReport;
}

namespace storeadjust::qt {

class ReportView : public FormView {
  Q_OBJECT

 public:
  ReportView(FrmReport& form, QWidget* parent = nullptr);

  QTableView* GridView() const { return grid_; }

 private:
  void BuildToolbar();
  void BuildTitleBand(FrmReport& form);
  void BuildGrid();
  // The header's sort of a grid column; an order given sorts that way instead of in turn.
  void SortByHeader(int section, std::optional<QvGrid::SortOrder> order = std::nullopt);
  void ShowSortIndicator();

  FrmReport& report_;
  QTableView* grid_ = nullptr;
};

// Registers the view for the form's name, so RunModal shows the report in this window.
void RegisterReportView();

}  // namespace storeadjust::qt
