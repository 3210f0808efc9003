#include "qt/ReprintDialogView.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>

#include "adodb/Error.h"
#include "browse/ReprintList.h"
#include "host/UserInterface.h"
#include "qt/ClassicMessageBox.h"
#include "qt/DateTyping.h"
#include "qt/EnterClicksButton.h"
#include "qt/PrintedFile.h"
#include "qt/ReprintTableModel.h"
#include "qt/ScreenFit.h"
#include "qt/SlipPrinting.h"

namespace storeadjust::qt {

namespace {

QDate ToQDate(const std::optional<adodb::Date>& date) {
  return date ? QDate(date->year, date->month, date->day) : QDate::currentDate();
}

adodb::Date FromQDate(const QDate& date) { return {date.year(), date.month(), date.day()}; }

QDateEdit* MakeDateEdit(const QString& name, const QDate& date, QWidget* parent) {
  auto* edit = new QDateEdit(date, parent);
  edit->setObjectName(name);
  edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  edit->setCalendarPopup(true);
  TakeSeparatorsAsTyped(*edit);
  return edit;
}

// Slips printed to a PDF file are followed by where the file is, as the print command says it.
void PrintOrPreview(const SlipReader& read, bool preview, QWidget* parent) {
  const QString file = preview ? PreviewSlips(read, parent) : PrintSlipsWithDialog(read, parent);
  if (file.isEmpty()) return;
  std::unique_ptr<QMessageBox> box(
      MakeClassicMessageBox(QString::fromStdString(SavedToText(file)), mb::kInformation, QStringLiteral("系统提示"), parent));
  RunClassicMessageBox(*box);
}

}  // namespace

ReprintDialogView::ReprintDialogView(ReprintList& list, QWidget* parent)
    : QDialog(parent), list_(list), printer_(PrintOrPreview) {
  setWindowTitle(QStringLiteral("单据重打--仓库调拨单"));
  model_ = new ReprintTableModel(list_, this);

  serial_ = new QLineEdit(QString::fromStdString(list_.SerialFilter()), this);
  serial_->setObjectName(QStringLiteral("TxtSerial"));
  serial_->setPlaceholderText(QStringLiteral("流水号包含"));
  byDate_ = new QCheckBox(QStringLiteral("开单日期"), this);
  byDate_->setObjectName(QStringLiteral("ChkDate"));
  byDate_->setChecked(list_.From() || list_.To());
  from_ = MakeDateEdit(QStringLiteral("DTPFrom"), ToQDate(list_.From()), this);
  to_ = MakeDateEdit(QStringLiteral("DTPTo"), ToQDate(list_.To()), this);

  auto* filters = new QHBoxLayout;
  filters->addWidget(new QLabel(QStringLiteral("流水号："), this));
  filters->addWidget(serial_, 1);
  filters->addWidget(byDate_);
  filters->addWidget(from_);
  filters->addWidget(new QLabel(QStringLiteral("至"), this));
  filters->addWidget(to_);

  grid_ = new QTableView(this);
  grid_->setObjectName(QStringLiteral("Grid"));
  grid_->setModel(model_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setAlternatingRowColors(true);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  // The serial is what the clerk picks bills by: a narrowed dialog cut it to "DBD20240301…",
  // the same start for every bill of a month. The other columns give way to it.
  grid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("Count"));
  auto* all = new QPushButton(QStringLiteral("全选"), this);
  all->setObjectName(QStringLiteral("CmdAll"));
  preview_ = new QPushButton(QStringLiteral("预览"), this);
  preview_->setObjectName(QStringLiteral("CmdPreview"));
  print_ = new QPushButton(QStringLiteral("打印"), this);
  print_->setObjectName(QStringLiteral("CmdPrint"));
  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  close->setObjectName(QStringLiteral("CmdClose"));
  // Enter in the serial field goes to the list (see eventFilter): no button may take it and print
  // behind the clerk's back. A button the clerk tabbed to takes Enter itself, as Space.
  auto* enter = new EnterClicksButton(this);
  for (QPushButton* button : {all, preview_, print_, close}) {
    button->setAutoDefault(false);
    button->installEventFilter(enter);
  }

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(count_, 1);
  buttons->addWidget(all);
  buttons->addWidget(preview_);
  buttons->addWidget(print_);
  buttons->addWidget(close);

  // Several bills are chosen by keys the list does not show: they are named under it, on one
  // line, which the dialog is never narrower than (wrapped, an entry broke as "回车 → " / "预览").
  auto* keys = new QLabel(
      QStringLiteral("Shift+↑/↓ → 连选 | Ctrl+↑/↓ 移动、Ctrl+空格 → 加选或取消 | Ctrl+A → 全选 | 回车 → 预览"), this);
  keys->setObjectName(QStringLiteral("LblKeys"));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(grid_, 1);
  layout->addWidget(keys);
  layout->addLayout(buttons);

  connect(serial_, &QLineEdit::textChanged, this, &ReprintDialogView::ApplyFilters);
  connect(byDate_, &QCheckBox::toggled, this, &ReprintDialogView::ApplyFilters);
  connect(from_, &QDateEdit::dateChanged, this, &ReprintDialogView::ApplyFilters);
  connect(to_, &QDateEdit::dateChanged, this, &ReprintDialogView::ApplyFilters);
  connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ReprintDialogView::ShowChoice);
  connect(model_, &QAbstractItemModel::modelReset, this, &ReprintDialogView::ShowChoice);
  connect(all, &QPushButton::clicked, grid_, &QTableView::selectAll);
  connect(print_, &QPushButton::clicked, this, [this] { PrintChosen(false); });
  connect(preview_, &QPushButton::clicked, this, [this] { PrintChosen(true); });
  // A double click, or Enter in the list, previews the rows chosen.
  connect(grid_, &QTableView::activated, this, [this] { PrintChosen(true); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  ResizeWithinScreen(*this, QSize(720, 460));
  ApplyFilters();
  serial_->installEventFilter(this);
  serial_->setFocus();
}

// Down or Enter in the serial field goes on to the list, the first bill chosen, so that a bill
// is found and previewed by keys alone: its serial, Enter, Enter.
bool ReprintDialogView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == serial_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) && model_->rowCount() > 0) {
      GoToList();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ReprintDialogView::GoToList() {
  grid_->setFocus(Qt::TabFocusReason);
  if (!grid_->currentIndex().isValid() || grid_->selectionModel()->selectedRows().isEmpty()) {
    grid_->selectionModel()->setCurrentIndex(model_->index(0, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
}

ReprintDialogView::~ReprintDialogView() = default;

void ReprintDialogView::ApplyFilters() {
  const bool byDate = byDate_->isChecked();
  from_->setEnabled(byDate);
  to_->setEnabled(byDate);
  list_.SetSerialFilter(serial_->text().trimmed().toStdString());
  if (byDate) {
    list_.SetDateRange(FromQDate(from_->date()), FromQDate(to_->date()));
  } else {
    list_.SetDateRange(std::nullopt, std::nullopt);
  }
  try {
    model_->Refresh();
  } catch (const adodb::Error& error) {
    ShowFailureBox(error, this);
  }
  ShowChoice();
}

void ReprintDialogView::ShowChoice() {
  const int chosen = grid_->selectionModel()->selectedRows().size();
  print_->setEnabled(chosen > 0);
  preview_->setEnabled(chosen > 0);
  count_->setText(QStringLiteral("共 %1 张单据，已选 %2 张").arg(model_->rowCount()).arg(chosen));
}

void ReprintDialogView::PrintChosen(bool preview) {
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : grid_->selectionModel()->selectedRows()) {
    rows.push_back(static_cast<std::size_t>(index.row()));
  }
  if (rows.empty()) return;
  list_.Choose(rows);
  try {
    printer_([this] { return list_.ReadChosenSlips(); }, preview, this);
  } catch (const adodb::Error& error) {
    ShowFailureBox(error, this);
  }
}

}  // namespace storeadjust::qt
