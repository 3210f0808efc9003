#include "qt/ReportPropertiesDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include "host/QvGrid.h"

namespace storeadjust::qt {

ReportPropertiesDialog::ReportPropertiesDialog(QvGrid& grid, QWidget* parent) : QDialog(parent), grid_(grid) {
  setWindowTitle(QStringLiteral("设置报表属性"));
  const ReportProperties& properties = grid.Properties();
  auto* form = new QFormLayout(this);
  title_ = new QLineEdit(QString::fromStdString(grid.Title()), this);
  // Room for the report's name and as much again: a title the clerk lengthens ("…（三月份）") stays
  // in view instead of scrolling its beginning away in a box as wide as the name alone.
  title_->setMinimumWidth(title_->fontMetrics().horizontalAdvance(QString(24, QChar(0x6C49))));
  form->addRow(QStringLiteral("报表标题:"), title_);
  orientation_ = new QComboBox(this);
  orientation_->addItem(QStringLiteral("纵向"));
  orientation_->addItem(QStringLiteral("横向"));
  orientation_->setCurrentIndex(properties.orientation == PageOrientation::Landscape ? 1 : 0);
  form->addRow(QStringLiteral("纸张方向:"), orientation_);
  fontSize_ = new QSpinBox(this);
  fontSize_->setRange(ReportProperties::kMinFontSize, ReportProperties::kMaxFontSize);
  fontSize_->setValue(properties.fontSize);
  fontSize_->setSuffix(QStringLiteral(" 磅"));
  form->addRow(QStringLiteral("字号:"), fontSize_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

// A title left as the report's name follows the name; one the clerk cleared does too.
void ReportPropertiesDialog::Apply() {
  ReportProperties properties;
  const std::string title = title_->text().trimmed().toStdString();
  properties.title = title == grid_.ReportName() ? std::string() : title;
  properties.orientation = orientation_->currentIndex() == 1 ? PageOrientation::Landscape : PageOrientation::Portrait;
  properties.fontSize = fontSize_->value();
  grid_.SetProperties(properties);
}

void ReportPropertiesDialog::accept() {
  Apply();
  QDialog::accept();
}

}  // namespace storeadjust::qt
