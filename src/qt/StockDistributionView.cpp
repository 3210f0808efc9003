#include "qt/StockDistributionView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>

#include "browse/FrmStockDistribution.h"
#include "qt/FormViewRegistry.h"
#include "qt/QtText.h"
#include "qt/ScreenFit.h"

namespace storeadjust::qt {

StockDistributionView::StockDistributionView(FrmStockDistribution& form, QWidget* parent) : FormView(form, parent) {
  setObjectName(ToQt(form.Name()));
  ResizeWithinScreen(*this, QSize(900, 480));
  auto* layout = new QVBoxLayout(this);

  auto* bill = new QHBoxLayout;
  auto* label = new QLabel(ToQt(form.Control("LblLSH").caption), this);
  label->setObjectName(QStringLiteral("LblLSH"));
  auto* serial = new QLineEdit(this);
  serial->setObjectName(QStringLiteral("TxtLSH"));
  serial->setFixedWidth(180);
  bill->addWidget(label);
  bill->addWidget(serial);
  bill->addStretch(1);
  layout->addLayout(bill);

  stock_ = new QTableView(this);
  stock_->setObjectName(ToQt(FrmStockDistribution::kGrid));
  stock_->verticalHeader()->hide();
  // Each column as wide as its contents: stretched over the spare width, the last column set its
  // heading 单位 far off to the right of the units beneath it.
  stock_->horizontalHeader()->setStretchLastSection(false);
  stock_->setAlternatingRowColors(true);
  // The grid selects whole rows, so Tab walking its cells moved nothing the clerk could see, and
  // never reached 关闭: Tab goes on to the button, the arrows walk the stock.
  stock_->setTabKeyNavigation(false);
  layout->addWidget(stock_, 1);

  auto* bottom = new QHBoxLayout;
  auto* status = new QLabel(this);
  status->setObjectName(QStringLiteral("StatusBar1"));
  auto* close = new QPushButton(ToQt(form.Control("Cmd_Close").caption), this);
  close->setObjectName(QStringLiteral("Cmd_Close"));
  close->setAutoDefault(false);
  bottom->addWidget(status, 1);
  bottom->addWidget(close);
  layout->addLayout(bottom);
  Bind();
}

void RegisterStockDistributionView() {
  RegisterFormView("FrmStockDistribution", [](FormModel& form, QWidget* parent) -> std::unique_ptr<FormView> {
    return std::make_unique<StockDistributionView>(static_cast<FrmStockDistribution&>(form), parent);
  });
}

}  // namespace storeadjust::qt
