#include "qt/EditorView.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "adodb/Variant.h"
#include "editor/EditorToolbar.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "qt/ChunkedTableModel.h"
#include "qt/FormBinder.h"
#include "qt/FormViewRegistry.h"
#include "qt/QtText.h"
#include "qt/ScreenFit.h"
#include "qt/WrappingRowLayout.h"
#include "qt/ShownText.h"
#include "qt/WindowTitles.h"

namespace storeadjust::qt {

namespace {

constexpr const char* kNumericFields[] = {"TxtDj", "TxtSl", "TxtJe", "TxtLsze"};
// The classic colours of a numeric field (0xC0FFFF is light yellow as the toolkit wrote its
// colours): light yellow while it follows from the other fields, white while the clerk types it.
constexpr const char* kComputedFieldStyle = "QLineEdit { background: #FFFFC0; }";
constexpr const char* kTypedFieldStyle = "QLineEdit { background: #FFFFFF; }";

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromUtf8(name));
  return widget;
}

QLabel* LabelFor(FrmStoreAdjuctBill& form, const char* name, QWidget* parent) {
  return Named(new QLabel(ToQt(form.Control(name).caption), parent), name);
}

QLineEdit* TextBox(const char* name, QWidget* parent, int width = 0) {
  auto* edit = Named(new QLineEdit(parent), name);
  if (width > 0) edit->setFixedWidth(width);
  return edit;
}

QLineEdit* NumericBox(const char* name, QWidget* parent) {
  auto* edit = TextBox(name, parent, 90);
  edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return edit;
}

QPushButton* Button(FrmStoreAdjuctBill& form, const char* name, QWidget* parent) {
  auto* button = Named(new QPushButton(ToQt(form.Control(name).caption), parent), name);
  button->setAutoDefault(false);
  return button;
}

// Widgets side by side in one cell of the header, the last one taking the spare width.
QWidget* FieldRow(QWidget* parent, std::initializer_list<QWidget*> fields) {
  auto* cell = new QWidget(parent);
  auto* row = new QHBoxLayout(cell);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  for (QWidget* field : fields) {
    field->setParent(cell);
    row->addWidget(field);
  }
  row->addStretch(1);
  return cell;
}

// A warehouse: its id (typed), its name (filled) and the button of its goods places.
QWidget* WarehouseFields(FrmStoreAdjuctBill& form, QWidget* parent, const char* id, const char* name,
                         const char* places) {
  auto* cell = new QWidget(parent);
  auto* row = new QHBoxLayout(cell);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(TextBox(id, cell, 64));
  row->addWidget(TextBox(name, cell), 1);
  auto* button = Button(form, places, cell);
  button->setFixedWidth(28);
  // Tab still reaches it, but a click leaves the focus in the field the clerk was typing in: the
  // dialog it opens gives the focus back there, and the clerk types on.
  button->setFocusPolicy(Qt::TabFocus);
  row->addWidget(button);
  return cell;
}

// The bill's state as a stamp beside the header: one plain word in a frame.
QLabel* StateStamp(QWidget* parent) {
  auto* stamp = Named(new QLabel(parent), "LblBillState");
  stamp->setAlignment(Qt::AlignCenter);
  stamp->setMinimumWidth(90);
  stamp->setStyleSheet(QStringLiteral(
      "QLabel { border: 2px solid #B22222; border-radius: 4px; color: #B22222; font-size: 16pt; font-weight: bold;"
      " padding: 2px 10px; }"));
  return stamp;
}

// 合计 under the lines: quantity, amount and retail total of the lines shown.
QWidget* TotalsRow(FrmStoreAdjuctBill& form, QWidget* parent) {
  auto* row = Named(new QWidget(parent), "TotalsRow");
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(2, 0, 2, 0);
  auto* caption = LabelFor(form, "LblSum", row);
  caption->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; }"));
  layout->addWidget(caption);
  for (const auto& [label, name] : {std::pair{"数量:", "LblSumSl"}, std::pair{"金额:", "LblSumJe"},
                                    std::pair{"零售总额:", "LblSumLsze"}}) {
    layout->addSpacing(16);
    layout->addWidget(new QLabel(QString::fromUtf8(label), row));
    auto* value = Named(new QLabel(row), name);
    value->setMinimumWidth(80);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; }"));
    layout->addWidget(value);
  }
  layout->addStretch(1);
  return row;
}

QTableView* GridView(const char* name, QWidget* parent) {
  auto* view = Named(new QTableView(parent), name);
  view->verticalHeader()->hide();
  view->setAlternatingRowColors(true);
  // Rows are selected whole: Tab goes on to the next field rather than to a cell cursor unseen.
  view->setTabKeyNavigation(false);
  return view;
}

// The model reads a figure in plain form, a point before the decimals; the desktop's locale would
// let "1,000" (or a comma for the point) be typed, which the model then refuses. The field takes
// neither, whatever the locale.
QDoubleValidator* FigureValidator(QLineEdit* edit) {
  auto* validator = new QDoubleValidator(edit);
  QLocale plain = QLocale::c();
  plain.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
  validator->setLocale(plain);
  return validator;
}

}  // namespace

EditorView::EditorView(FrmStoreAdjuctBill& form, QWidget* parent) : FormView(form, parent), editor_(form) {
  setObjectName(ToQt(form.Name()));
  ResizeWithinScreen(*this, QSize(1100, 700));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 0, 6, 0);
  BuildToolbar();
  BuildHeader();
  BuildEntryRow();
  BuildGrids();
  BuildButtons();
  BuildStatusBar();
  Bind();
  Binder()->SetTitle(
      [this] { return EditorTitle(editor_.Caption, editor_.Text("TxtLSH"), editor_.CurrentSession()); });
  // The binder refreshes the widgets first; the numeric display and the timers follow it.
  boundChanged_ = form.OnChanged;
  form.OnChanged = [this] {
    if (boundChanged_) boundChanged_();
    AfterModelChanged();
  };
  form.OnSelectAll = [this](const std::string& control) { SelectAllOf(control); };
  connect(lines_->model(), &QAbstractItemModel::modelReset, this, [this] { ScrollLinesToShownRow(); });
  connect(goods_->model(), &QAbstractItemModel::modelReset, this, [this] { FitGoodsPanelHeight(); });
  FitGoodsPanelHeight();
  ShowNumericDecimals();
  ShowNumericColours();
  ScrollLinesToShownRow();
}

EditorView::~EditorView() {
  editor_.OnChanged = boundChanged_;
  editor_.OnSelectAll = nullptr;
}

void EditorView::BuildToolbar() {
  auto* toolbar = Named(new QToolBar(this), "Toolbar1");
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (const EditorToolbarItem& item : kEditorToolbar) {
    if (item.kind != ToolbarItemKind::Button) {
      toolbar->addSeparator();
      continue;
    }
    QAction* action = toolbar->addAction(QString::fromUtf8(item.key));
    action->setObjectName(QString::fromUtf8(item.key));
    action->setToolTip(QString::fromUtf8(item.toolTip));
  }
  static_cast<QVBoxLayout*>(layout())->setMenuBar(toolbar);
}

// Three rows on one grid of label/field pairs, so the fields of each column line up: the
// serial, the date and the operator; each warehouse's id, name and goods-place button, and the
// auditor; the remark across the whole width.
void EditorView::BuildHeader() {
  auto* header = new QWidget(this);
  auto* grid = new QGridLayout(header);
  grid->setContentsMargins(0, 6, 0, 0);
  grid->setHorizontalSpacing(6);
  auto* date = Named(new QDateEdit(header), "DTPKdrq");
  date->setCalendarPopup(true);
  // The bill date is stored as a datetime, which begins at 1753 (the picker's own first day is in
  // 1752).
  date->setMinimumDate(QDate(1753, 1, 1));
  // The clerk reads the calendar in Chinese (month and weekday names), whatever the machine's
  // own locale.
  const QLocale chinese(QLocale::Chinese, QLocale::China);
  date->setLocale(chinese);
  date->calendarWidget()->setLocale(chinese);
  date->setMinimumWidth(120);
  const auto place = [&](const char* label, QWidget* field, int row, int pair, int span = 1) {
    grid->addWidget(LabelFor(editor_, label, header), row, pair * 2, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(field, row, pair * 2 + 1, 1, span * 2 - 1);
  };
  place("LblLSH", TextBox("TxtLSH", header), 0, 0);
  place("LblKdrq", FieldRow(header, {date}), 0, 1);
  place("LblCzry", TextBox("TxtCzryName", header), 0, 2);
  place("LblBcCk", WarehouseFields(editor_, header, "TxtBcCkID", "txtBcCkName", "CmdGoodsPlace"), 1, 0);
  place("LblBrCk", WarehouseFields(editor_, header, "txtBrCKid", "txtBrCkName", "Command1"), 1, 1);
  place("LblSh", TextBox("TxtSh", header), 1, 2);
  place("LblBZ", TextBox("TxtBZ", header), 2, 0, 3);
  for (int pair = 0; pair < 3; ++pair) grid->setColumnStretch(pair * 2 + 1, 1);
  grid->addWidget(StateStamp(header), 0, 6, 3, 1, Qt::AlignCenter);
  layout()->addWidget(header);
}

// The entry row's fields in cells (a label with its field or fields), so that on a narrow
// window the row goes on to a second line between two cells and never splits a label from its
// field; the order of the cells is the order Tab takes.
void EditorView::BuildEntryRow() {
  auto* entry = Named(new QWidget(this), "EntryRow");
  auto* row = new WrappingRowLayout(entry);
  row->setContentsMargins(0, 4, 0, 4);
  row->setSpacing(6);
  const auto cell = [&](const char* label, std::initializer_list<QWidget*> fields) {
    auto* box = new QWidget(entry);
    auto* line = new QHBoxLayout(box);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(2);
    if (label != nullptr) line->addWidget(LabelFor(editor_, label, box));
    for (QWidget* field : fields) {
      field->setParent(box);
      line->addWidget(field);
    }
    row->addWidget(box);
  };
  cell("LblHH", {TextBox("TxtHH", entry, 110)});
  cell("LblJl", {TextBox("txtJl", entry, 40), TextBox("txtDw", entry, 50), TextBox("txtXs", entry, 50)});
  cell("LblPh", {TextBox("TxtPh", entry, 70)});
  for (const auto& [label, field] : {std::pair{"LblDj", "TxtDj"}, std::pair{"LblSl", "TxtSl"},
                                     std::pair{"LblJe", "TxtJe"}, std::pair{"LblLsze", "TxtLsze"}}) {
    cell(label, {NumericBox(field, entry)});
  }
  cell(nullptr, {Named(new QCheckBox(ToQt(editor_.Control("Chk1").caption), entry), "Chk1")});
  layout()->addWidget(entry);
}

void EditorView::BuildGrids() {
  auto* linesFrame = Named(new QGroupBox(ToQt(editor_.Control("FraContent").caption), this), "FraContent");
  auto* linesLayout = new QVBoxLayout(linesFrame);
  lines_ = GridView("VfgContent", linesFrame);
  lines_->horizontalHeader()->setStretchLastSection(true);
  linesLayout->addWidget(lines_);
  linesLayout->addWidget(TotalsRow(editor_, linesFrame));
  static_cast<QVBoxLayout*>(layout())->addWidget(linesFrame, 1);

  auto* goodsFrame = Named(new QGroupBox(ToQt(editor_.Control("FraSpxx").caption), this), "FraSpxx");
  auto* goodsLayout = new QVBoxLayout(goodsFrame);
  goods_ = GridView("VfgSpxx", goodsFrame);
  goodsLayout->addWidget(goods_);
  layout()->addWidget(goodsFrame);
}

void EditorView::BuildButtons() {
  auto* buttons = new QWidget(this);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(0, 0, 0, 0);
  for (const char* name : {"Cmd_Add", "Cmd_Amend", "Cmd_Delete", "Cmd_SaveReckoning", "Cmd_Print"}) {
    row->addWidget(Button(editor_, name, buttons));
  }
  row->addStretch(1);
  row->addWidget(Button(editor_, "Cmd_Save", buttons));
  layout()->addWidget(buttons);
}

void EditorView::BuildStatusBar() {
  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(true);
  status->addWidget(Named(new QLabel(status), "StatusBar1"), 1);
  layout()->addWidget(status);
}

// The panel shows one goods: its header and one row, with room for the scroll bar its many
// columns may need. Heights are known only once the style has polished the grid.
void EditorView::FitGoodsPanelHeight() {
  const int row = goods_->model()->rowCount() > 0 ? goods_->rowHeight(0) : goods_->verticalHeader()->defaultSectionSize();
  const int header = std::max(goods_->horizontalHeader()->height(), goods_->horizontalHeader()->sizeHint().height());
  goods_->setFixedHeight(header + row + goods_->horizontalScrollBar()->sizeHint().height() + 2 * goods_->frameWidth());
}

void EditorView::showEvent(QShowEvent* event) {
  FormView::showEvent(event);
  FitGoodsPanelHeight();
  ScheduleTimers();
}

void EditorView::AfterModelChanged() {
  ShowNumericDecimals();
  ShowNumericColours();
  ScheduleTimers();
}

// A style sheet's read-only selector is not read again when the box changes state, so each
// state gets its own sheet.
void EditorView::ShowNumericColours() {
  for (const char* name : kNumericFields) {
    auto* edit = findChild<QLineEdit*>(QString::fromUtf8(name));
    const QString style = QString::fromUtf8(edit->isReadOnly() ? kComputedFieldStyle : kTypedFieldStyle);
    if (edit->styleSheet() != style) edit->setStyleSheet(style);
  }
}

// A field being edited shows what the user types; the others show their number with the
// model's decimal places, or whole when it has more (a per-克 price of goods bought per 千克):
// the amount is worked from the whole number and the line stores it, so none of it is hidden.
void EditorView::ShowNumericDecimals() {
  for (const char* name : kNumericFields) {
    auto* edit = findChild<QLineEdit*>(QString::fromUtf8(name));
    const int decimals = editor_.Control(name).decimals;
    if (edit == nullptr || decimals < 0) continue;
    if (edit->validator() == nullptr) edit->setValidator(FigureValidator(edit));
    static_cast<QDoubleValidator*>(const_cast<QValidator*>(edit->validator()))->setDecimals(decimals);
    double value = 0;
    if (edit->hasFocus() || !adodb::ParseNumber(editor_.Text(name), value)) continue;
    const QString padded = QString::number(value, 'f', decimals);
    ShowText(*edit, padded.toDouble() == value ? padded : QString::fromStdString(adodb::FormatNumber(value)));
  }
}

// The model's timers run from the event loop, as the classic timers did: after the window has
// shown and after the event that enabled them.
void EditorView::ScheduleTimers() {
  if (timersScheduled_ || !isVisible() || !editor_.HasPendingTimers()) return;
  timersScheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    timersScheduled_ = false;
    if (editor_.IsOpen()) editor_.FireTimers();
  });
}

void EditorView::SelectAllOf(const std::string& control) {
  QTimer::singleShot(0, this, [this, name = ToQt(control)] {
    if (auto* edit = findChild<QLineEdit*>(name)) SelectWhole(*edit);
  });
}

void EditorView::ScrollLinesToShownRow() {
  const long row = editor_.LinesGridShownRow();
  auto* model = qobject_cast<ChunkedTableModel*>(lines_->model());
  if (model == nullptr || row < 1) return;
  model->FetchThrough(static_cast<int>(row - 1));
  const QModelIndex index = model->index(static_cast<int>(row - 1), 1);
  if (index.isValid()) lines_->scrollTo(index);
}

void RegisterEditorView() {
  RegisterFormView("FrmStoreAdjuctBill", [](FormModel& form, QWidget* parent) -> std::unique_ptr<FormView> {
    return std::make_unique<EditorView>(static_cast<FrmStoreAdjuctBill&>(form), parent);
  });
}

}  // namespace storeadjust::qt
