#pragma once
// 设置报表属性: the title printed above the report, the page's orientation and the size of the
// type. Opens on the grid's current properties; Apply (what OK does) hands the new ones to the
// grid.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace storeadjust {
class QvGrid;
}

namespace storeadjust::qt {

class ReportPropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ReportPropertiesDialog(QvGrid& grid, QWidget* parent = nullptr);

  QLineEdit* Title() const { return title_; }
  QComboBox* Orientation() const { return orientation_; }
  QSpinBox* FontSize() const { return fontSize_; }
  void Apply();

 public slots:
  void accept() override;

 private:
  QvGrid& grid_;
  QLineEdit* title_ = nullptr;
  QComboBox* orientation_ = nullptr;
  QSpinBox* fontSize_ = nullptr;
};

}  // namespace storeadjust::qt
