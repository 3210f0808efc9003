#pragma once
// 过滤数据: choose a shown column, then tick the values whose rows stay; the other columns' filters
// stay as they are. The values offered are the column's distinct cell texts over every loaded
// row, ticked as the column's filter has them (all when it has none). The ticks of a column stay
// while the clerk looks at another; Apply (what OK does) sets the filter of every column he
// ticked in, or clears it when every value is ticked; 清除过滤 clears every column's.
#include <QDialog>
#include <map>
#include <string>
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
  struct Ticks {
    std::vector<std::string> kept;
    std::size_t offered = 0;
  };

  void ShowValues();
  void KeepTicks();

  QvGrid& grid_;
  std::vector<std::size_t> columns_;  // by combo index
  std::map<std::size_t, Ticks> ticks_;  // by column, the ticks of the columns listed so far
  int listed_ = -1;                       // the combo index whose values the list shows
  QComboBox* column_ = nullptr;
  QListWidget* values_ = nullptr;
};

}  // namespace storeadjust::qt
