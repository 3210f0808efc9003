#pragma once
// 过滤数据: choose a shown column, then tick the values whose rows stay; the other columns' filters
// stay as they are. The values offered are the column's distinct cell texts over every loaded
// row, ticked as the column's filter has them (all when it has none). Apply (what OK does) sets
// the column's filter, or clears it when every value is ticked; 清除过滤 clears every column's.
#include <QDialog>
#include <vector>

class QComboBox;
class QListWidget;

namespace storeadjust {
class QvGrid;
}

namespace storeadjust::qt {

class ReportFilterDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ReportFilterDialog(QvGrid& grid, QWidget* parent = nullptr);

  QComboBox* Column() const { return column_; }
  QListWidget* Values() const { return values_; }
  void TickAll(bool ticked);
  void Apply();
  void ClearAll();

 public slots:
  void accept() override;

 private:
  void ShowValues();

  QvGrid& grid_;
  std::vector<std::size_t> columns_;  // by combo index
  QComboBox* column_ = nullptr;
  QListWidget* values_ = nullptr;
};

}  // namespace storeadjust::qt
