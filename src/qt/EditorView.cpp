#include "qt/EditorView.h"

#include <QAction>
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
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "adodb/Variant.h"
#include "editor/EditorToolbar.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "qt/FormViewRegistry.h"

namespace storeadjust::qt {

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

constexpr const char* kNumericFields[] = {"TxtDj", "TxtSl", "TxtJe", "TxtLsze"};
// The classic light yellow (0xC0FFFF as the toolkit wrote its colours) of a retail total that
// follows from the other fields.
constexpr const char* kComputedFieldStyle = "QLineEdit[readOnly=\"true\"] { background: #FFFFC0; }";

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
  edit->setStyleSheet(kComputedFieldStyle);
  return edit;
}

QPushButton* Button(FrmStoreAdjuctBill& form, const char* name, QWidget* parent) {
  auto* button = Named(new QPushButton(ToQt(form.Control(name).caption), parent), name);
  button->setAutoDefault(false);
  return button;
}

QTableView* GridView(const char* name, QWidget* parent) {
  auto* view = Named(new QTableView(parent), name);
  view->verticalHeader()->hide();
  view->setAlternatingRowColors(true);
  return view;
}

}  // namespace

EditorView::EditorView(FrmStoreAdjuctBill& form, QWidget* parent) : FormView(form, parent), editor_(form) {
  setObjectName(ToQt(form.Name()));
  resize(1000, 680);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 0, 6, 0);
  BuildToolbar();
  BuildHeader();
  BuildEntryRow();
  BuildGrids();
  BuildButtons();
  BuildStatusBar();
  Bind();
  // The binder refreshes the widgets first; the numeric display and the timers follow it.
  boundChanged_ = form.OnChanged;
  form.OnChanged = [this] {
    if (boundChanged_) boundChanged_();
    AfterModelChanged();
  };
  form.OnSelectAll = [this](const std::string& control) { SelectAllOf(control); };
  connect(lines_->model(), &QAbstractItemModel::modelReset, this, [this] { ScrollLinesToShownRow(); });
  ShowNumericDecimals();
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

void EditorView::BuildHeader() {
  auto* header = new QWidget(this);
  auto* grid = new QGridLayout(header);
  grid->setContentsMargins(0, 4, 0, 0);
  auto* date = Named(new QDateEdit(header), "DTPKdrq");
  date->setCalendarPopup(true);
  grid->addWidget(LabelFor(editor_, "LblLSH", header), 0, 0);
  grid->addWidget(TextBox("TxtLSH", header), 0, 1, 1, 2);
  grid->addWidget(LabelFor(editor_, "LblKdrq", header), 0, 3);
  grid->addWidget(date, 0, 4);
  grid->addWidget(LabelFor(editor_, "LblCzry", header), 0, 5);
  grid->addWidget(TextBox("TxtCzryName", header), 0, 6);
  grid->addWidget(LabelFor(editor_, "LblSh", header), 0, 7);
  grid->addWidget(TextBox("TxtSh", header), 0, 8);

  grid->addWidget(LabelFor(editor_, "LblBcCk", header), 1, 0);
  grid->addWidget(TextBox("TxtBcCkID", header, 70), 1, 1);
  grid->addWidget(TextBox("txtBcCkName", header), 1, 2);
  grid->addWidget(Button(editor_, "CmdGoodsPlace", header), 1, 3);
  grid->addWidget(LabelFor(editor_, "LblBrCk", header), 1, 5);
  grid->addWidget(TextBox("txtBrCKid", header, 70), 1, 6);
  grid->addWidget(TextBox("txtBrCkName", header), 1, 7);
  grid->addWidget(Button(editor_, "Command1", header), 1, 8, Qt::AlignLeft);

  grid->addWidget(LabelFor(editor_, "LblBZ", header), 2, 0);
  grid->addWidget(TextBox("TxtBZ", header), 2, 1, 1, 8);
  for (const char* narrow : {"CmdGoodsPlace", "Command1"}) header->findChild<QPushButton*>(narrow)->setFixedWidth(28);
  layout()->addWidget(header);
}

void EditorView::BuildEntryRow() {
  auto* entry = new QWidget(this);
  auto* row = new QHBoxLayout(entry);
  row->setContentsMargins(0, 4, 0, 4);
  row->addWidget(LabelFor(editor_, "LblHH", entry));
  row->addWidget(TextBox("TxtHH", entry, 110));
  row->addWidget(LabelFor(editor_, "LblJl", entry));
  row->addWidget(TextBox("txtJl", entry, 40));
  row->addWidget(TextBox("txtDw", entry, 50));
  row->addWidget(TextBox("txtXs", entry, 50));
  for (const auto& [label, field] : {std::pair{"LblDj", "TxtDj"}, std::pair{"LblSl", "TxtSl"},
                                     std::pair{"LblJe", "TxtJe"}, std::pair{"LblLsze", "TxtLsze"}}) {
    row->addWidget(LabelFor(editor_, label, entry));
    row->addWidget(NumericBox(field, entry));
  }
  row->addWidget(Named(new QCheckBox(ToQt(editor_.Control("Chk1").caption), entry), "Chk1"));
  row->addStretch(1);
  layout()->addWidget(entry);
}

void EditorView::BuildGrids() {
  auto* linesFrame = Named(new QGroupBox(ToQt(editor_.Control("FraContent").caption), this), "FraContent");
  auto* linesLayout = new QVBoxLayout(linesFrame);
  lines_ = GridView("VfgContent", linesFrame);
  linesLayout->addWidget(lines_);
  static_cast<QVBoxLayout*>(layout())->addWidget(linesFrame, 1);

  auto* goodsFrame = Named(new QGroupBox(ToQt(editor_.Control("FraSpxx").caption), this), "FraSpxx");
  auto* goodsLayout = new QVBoxLayout(goodsFrame);
  goods_ = GridView("VfgSpxx", goodsFrame);
  goods_->setFixedHeight(64);
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

void EditorView::showEvent(QShowEvent* event) {
  FormView::showEvent(event);
  ScheduleTimers();
}

void EditorView::AfterModelChanged() {
  ShowNumericDecimals();
  ScheduleTimers();
}

// A field being edited shows what the user types; the others show their number with the
// model's decimal places.
void EditorView::ShowNumericDecimals() {
  for (const char* name : kNumericFields) {
    auto* edit = findChild<QLineEdit*>(QString::fromUtf8(name));
    const int decimals = editor_.Control(name).decimals;
    if (edit == nullptr || decimals < 0) continue;
    if (edit->validator() == nullptr) edit->setValidator(new QDoubleValidator(edit));
    static_cast<QDoubleValidator*>(const_cast<QValidator*>(edit->validator()))->setDecimals(decimals);
    double value = 0;
    if (edit->hasFocus() || !adodb::ParseNumber(editor_.Text(name), value)) continue;
    const QString shown = QString::number(value, 'f', decimals);
    if (edit->text() != shown) edit->setText(shown);
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
    if (auto* edit = findChild<QLineEdit*>(name)) edit->selectAll();
  });
}

void EditorView::ScrollLinesToShownRow() {
  const long row = editor_.LinesGridShownRow();
  if (lines_->model() == nullptr || row < 1) return;
  while (lines_->model()->canFetchMore(QModelIndex()) && lines_->model()->rowCount() < row) {
    lines_->model()->fetchMore(QModelIndex());
  }
  const QModelIndex index = lines_->model()->index(static_cast<int>(row - 1), 1);
  if (index.isValid()) lines_->scrollTo(index);
}

void RegisterEditorView() {
  RegisterFormView("FrmStoreAdjuctBill", [](FormModel& form, QWidget* parent) -> std::unique_ptr<FormView> {
    return std::make_unique<EditorView>(static_cast<FrmStoreAdjuctBill&>(form), parent);
  });
}

}  // namespace storeadjust::qt
