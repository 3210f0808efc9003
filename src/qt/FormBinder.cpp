#include "qt/FormBinder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

#include "host/FormModel.h"
#include "qt/ClassicKeyCodes.h"
#include "qt/ClassicMessageBox.h"
#include "qt/DateTyping.h"
#include "qt/GridColumnWidths.h"
#include "qt/GridTableModel.h"
#include "qt/QtText.h"
#include "qt/ShownText.h"

namespace storeadjust::qt {

namespace {

bool IsQtInternal(const QString& objectName) { return objectName.isEmpty() || objectName.startsWith("qt_"); }

// A date picker that shows a special text at its minimum date (an open end of a range: "不限")
// holds no date there.
bool IsNoDate(const QDateEdit& picker, QDate value) {
  return !picker.specialValueText().isEmpty() && value == picker.minimumDate();
}

// A grey command tells why in its tool tip; an enabled one what it does.
const std::string& ToolTipOf(const ControlState& state) {
  return !state.enabled && !state.disabledReason.empty() ? state.disabledReason : state.toolTip;
}

}  // namespace

FormBinder::FormBinder(FormModel& form, QWidget& root, QObject* parent)
    : QObject(parent), form_(form), root_(&root), previousChanged_(form.OnChanged) {
  BindTree(root);
  form_.OnChanged = [this] {
    if (previousChanged_) previousChanged_();
    Refresh();
  };
  Refresh();
}

FormBinder::~FormBinder() { form_.OnChanged = previousChanged_; }

QObject* FormBinder::Bound(const std::string& name) const {
  for (const Binding& binding : bindings_) {
    if (binding.name == name) return binding.object;
  }
  return nullptr;
}

void FormBinder::SetTitle(std::function<QString()> title) {
  title_ = std::move(title);
  ShowTitle();
}

void FormBinder::ShowTitle() {
  if (root_ == nullptr || !root_->isWindow()) return;
  if (title_) {
    root_->setWindowTitle(title_());
  } else if (!form_.Caption.empty()) {
    root_->setWindowTitle(ToQt(form_.Caption));
  }
}

void FormBinder::BindTree(QWidget& root) {
  for (const std::string& name : form_.ControlNames()) {
    QObject* object = root.findChild<QWidget*>(ToQt(name));
    if (object == nullptr) object = root.findChild<QAction*>(ToQt(name));
    if (object != nullptr) BindObject(name, object);
  }
  // Toolbar buttons and menu items click by their key even when the model declares no control.
  for (QAction* action : root.findChildren<QAction*>()) {
    const QString key = action->objectName();
    if (IsQtInternal(key) || names_.count(action) != 0) continue;
    connect(action, &QAction::triggered, this, [this, name = key.toStdString()] {
      Guarded([&] { form_.Click(name); });
    });
    bindings_.push_back({key.toStdString(), action});
    names_[action] = key.toStdString();
  }
}

void FormBinder::BindObject(const std::string& name, QObject* object) {
  bindings_.push_back({name, object});
  names_[object] = name;
  if (auto* edit = qobject_cast<QLineEdit*>(object)) {
    connect(edit, &QLineEdit::textEdited, this, [this, name](const QString& text) {
      Guarded([&] { form_.Type(name, text.toStdString()); });
    });
  } else if (auto* check = qobject_cast<QCheckBox*>(object)) {
    connect(check, &QCheckBox::clicked, this, [this, name](bool checked) {
      Guarded([&] { form_.Type(name, checked ? "1" : "0"); });
    });
  } else if (auto* date = qobject_cast<QDateEdit*>(object)) {
    connect(date, &QDateEdit::dateChanged, this, [this, name, date](QDate value) {
      if (refreshing_) return;
      const bool none = IsNoDate(*date, value);
      Guarded([&] { form_.Type(name, none ? std::string() : value.toString(Qt::ISODate).toStdString()); });
    });
  } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
    connect(button, &QAbstractButton::clicked, this, [this, name] { Guarded([&] { form_.Click(name); }); });
  } else if (auto* action = qobject_cast<QAction*>(object)) {
    connect(action, &QAction::triggered, this, [this, name] { Guarded([&] { form_.Click(name); }); });
  } else if (auto* view = qobject_cast<QAbstractItemView*>(object)) {
    if (form_.Grid(name) != nullptr) BindGrid(name, *view);
  }
  if (auto* widget = qobject_cast<QWidget*>(object)) {
    widget->installEventFilter(this);
    if (auto* dateEdit = qobject_cast<QDateEdit*>(widget)) {
      dateEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
      TakeSeparatorsAsTyped(*dateEdit);
    }
  }
}

namespace {

// A cell's text cut short by its column (a long remark, a long goods name) is read whole by resting
// the pointer on it; a text shown whole needs no tip.
class CutTextTip : public QObject {
 public:
  explicit CutTextTip(QAbstractItemView& view) : QObject(&view), view_(view) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = view_.indexAt(help->pos());
    const QString text = index.data().toString();
    const QRect cell = view_.visualRect(index);
    if (!index.isValid() || view_.fontMetrics().horizontalAdvance(text) <= cell.width() - 8) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), text, view_.viewport(), cell);
    }
    return true;
  }

 private:
  QAbstractItemView& view_;
};

}  // namespace

void FormBinder::BindGrid(const std::string& name, QAbstractItemView& view) {
  view.viewport()->installEventFilter(new CutTextTip(view));
  auto* model = new GridTableModel(*form_.Grid(name), &view);
  view.setModel(model);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setSelectionMode(QAbstractItemView::SingleSelection);
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(model, &GridTableModel::CurrentRowChanged, &view,
          [this, &view](int modelRow) { ShowGridCurrent(view, modelRow); });
  // A reset (a sort, a filter, a reload) drops the view's current cell: the clerk keeps his
  // column as well as his row, so a key on the current column acts on the same one again.
  auto keptColumn = std::make_shared<int>(0);
  connect(model, &QAbstractItemModel::modelAboutToBeReset, &view,
          [&view, keptColumn] { *keptColumn = std::max(0, view.currentIndex().column()); });
  connect(model, &QAbstractItemModel::modelReset, &view, [this, name, &view, model, keptColumn] {
    ShowGridColumns(name, view);
    ShowGridCurrent(view, model->CurrentModelRow(), *keptColumn);
  });
  connect(view.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this, name](const QModelIndex& current) {
            if (refreshing_ || !current.isValid()) return;
            Guarded([&] { form_.SelectRow(name, current.row() + 1); });
          });
  // The model knows the clerk's column too, so a command on "the current column" (the report's
  // 过滤) takes the one he stands on.
  connect(view.selectionModel(), &QItemSelectionModel::currentChanged, this, [this, name](const QModelIndex& current) {
    if (current.isValid()) form_.Grid(name)->Col = current.column();
  });
  // A click on the row already current reaches the model as well: the editor then shows that
  // line's goods if its panel shows another's. A click that moves the row comes twice, which the
  // models take as once.
  connect(&view, &QAbstractItemView::clicked, this, [this, name](const QModelIndex& index) {
    if (refreshing_ || !index.isValid()) return;
    Guarded([&] { form_.SelectRow(name, index.row() + 1); });
  });
  connect(&view, &QAbstractItemView::doubleClicked, this, [this, name](const QModelIndex& index) {
    Guarded([&] { form_.DoubleClick(name, index.row() + 1, index.column()); });
  });
  connect(&view, &QWidget::customContextMenuRequested, this, [this, name, &view](const QPoint& at) {
    const QModelIndex index = view.indexAt(at);
    if (index.isValid()) Guarded([&] { form_.RightClick(name, index.row() + 1, index.column()); });
  });
  ShowGridColumns(name, view);
  ShowGridCurrent(view, model->CurrentModelRow());
}

void FormBinder::Refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  ShowTitle();
  for (const Binding& binding : bindings_) {
    if (binding.object != nullptr && form_.HasControl(binding.name)) ShowState(binding);
  }
  refreshing_ = false;
  FollowModelFocus();
}

void FormBinder::ShowState(const Binding& binding) {
  const ControlState& state = form_.Control(binding.name);
  QObject* object = binding.object;
  if (auto* edit = qobject_cast<QLineEdit*>(object)) {
    ShowText(*edit, ToQt(state.text));
    edit->setReadOnly(state.locked);
    // Tab passes over a box the clerk cannot type in; a click still reaches it to copy from it.
    edit->setFocusPolicy(state.locked ? Qt::ClickFocus : Qt::StrongFocus);
  } else if (auto* check = qobject_cast<QCheckBox*>(object)) {
    check->setChecked(state.text == "1");
  } else if (auto* date = qobject_cast<QDateEdit*>(object)) {
    QDate value = QDate::fromString(ToQt(state.text).left(10), Qt::ISODate);
    if (state.text.empty() && !date->specialValueText().isEmpty()) value = date->minimumDate();
    if (value.isValid() && value != date->date()) date->setDate(value);
  } else if (auto* label = qobject_cast<QLabel*>(object)) {
    const QString text = ToQt(state.kind == ControlKind::Label ? state.caption : state.text);
    label->setText(label->wordWrap() ? KeyGuideText(text) : text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
    if (!state.caption.empty()) button->setText(ToQt(state.caption));
  } else if (auto* action = qobject_cast<QAction*>(object)) {
    if (!state.caption.empty()) action->setText(ToQt(state.caption));
    action->setVisible(state.visible);
    action->setEnabled(state.enabled);
    action->setToolTip(ToQt(ToolTipOf(state)));
  }
  if (auto* widget = qobject_cast<QWidget*>(object)) {
    if (widget->isHidden() == state.visible) widget->setHidden(!state.visible);
    if (widget->isEnabled() != state.enabled) widget->setEnabled(state.enabled);
    if (widget->toolTip() != ToQt(ToolTipOf(state))) widget->setToolTip(ToQt(ToolTipOf(state)));
  }
}

void FormBinder::ShowGridCurrent(QAbstractItemView& view, int modelRow, int column) {
  const bool wasRefreshing = refreshing_;
  refreshing_ = true;
  if (column < 0) column = view.currentIndex().column();
  column = std::clamp(column, 0, std::max(0, view.model()->columnCount() - 1));
  if (modelRow >= 0 && modelRow < view.model()->rowCount()) {
    view.setCurrentIndex(view.model()->index(modelRow, column));
  } else {
    view.selectionModel()->clearCurrentIndex();
  }
  refreshing_ = wasRefreshing;
}

void FormBinder::ShowGridColumns(const std::string& name, QAbstractItemView& view) {
  auto* table = qobject_cast<QTableView*>(&view);
  GridModel* grid = form_.Grid(name);
  if (table == nullptr || grid == nullptr) return;
  FitGridColumns(*table, *grid);
}

void FormBinder::FollowModelFocus() {
  const std::string& focus = form_.Focus();
  if (focus == shownFocus_) return;
  shownFocus_ = focus;
  auto* widget = qobject_cast<QWidget*>(Bound(focus));
  if (widget == nullptr || widget->hasFocus()) return;
  // The form moves the focus on the clerk's keys, as Tab does: a button given the focus is then
  // drawn with its focus frame, so the clerk sees where the next Enter goes.
  widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
  widget->setFocus(Qt::OtherFocusReason);
}

bool FormBinder::eventFilter(QObject* watched, QEvent* event) {
  auto it = names_.find(watched);
  if (it == names_.end()) return QObject::eventFilter(watched, event);
  const std::string name = it->second;  // a handler may rebind; keep our own copy
  if (event->type() == QEvent::KeyPress && DropDownCalendarOnKey(watched, static_cast<QKeyEvent&>(*event))) return true;
  if (event->type() == QEvent::KeyPress) return ForwardKey(name, event);
  if (event->type() == QEvent::FocusIn && !refreshing_) UserFocused(name);
  return QObject::eventFilter(watched, event);
}

// Alt+Down opens a date's calendar, as the classic date picker's did (its F4 is a command of the
// screens here): otherwise only the mouse reached the calendar, and Alt+Down stepped the date
// back a day unseen. The box opens its calendar on a press on its arrow, and on nothing else.
bool FormBinder::DropDownCalendarOnKey(QObject* watched, const QKeyEvent& key) {
  auto* date = qobject_cast<QDateEdit*>(watched);
  if (date == nullptr || !date->calendarPopup() || date->isReadOnly() || key.key() != Qt::Key_Down ||
      !(key.modifiers() & Qt::AltModifier)) {
    return false;
  }
  QStyleOptionComboBox option;
  option.initFrom(date);
  option.editable = true;
  option.subControls = QStyle::SC_All;
  const QPoint arrow =
      date->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, date).center();
  QMouseEvent press(QEvent::MouseButtonPress, arrow, date->mapToGlobal(arrow), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(date, &press);
  return true;
}

bool FormBinder::ForwardKey(const std::string& name, QEvent* event) {
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  const int code = ClassicKeyCode(keyEvent->key());
  if (code == 0 || !form_.HasControl(name)) return false;
  const int shift = ClassicShiftMask(keyEvent->modifiers());
  const std::string focusBefore = form_.Focus();
  Guarded([&] { form_.KeyDown(name, code, shift); });
  // A key the model answered by moving the focus (Up and Down in the entry row) was its
  // command: the widget left behind must not act on it too.
  return IsCommandKey(code) || form_.Focus() != focusBefore;
}

void FormBinder::UserFocused(const std::string& name) {
  if (!form_.HasControl(name) || form_.Focus() == name) return;
  shownFocus_ = name;
  Guarded([&] { form_.SetFocus(name); });
}

void FormBinder::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    ShowFailureBox(error, nullptr);
  }
}

}  // namespace storeadjust::qt
