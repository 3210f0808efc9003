#pragma once
// Binds a widget tree to a FormModel by name: each widget (or action) whose objectName is a
// control's name shows that control's state and hands the user's actions to the model.
//   QLineEdit   text both ways (user edits -> Type; model changes -> setText), locked -> read-only
//               and out of the Tab order
//   QCheckBox   "0"/"1" both ways            QDateEdit  "YYYY-MM-DD" both ways; with a special
//                                            value text, its minimum date is empty text (no date)
//   QLabel      caption (text for controls that are not labels)
//   buttons, tool buttons, QAction          click -> Click(name); caption when the model has one
//   QAbstractItemView on a grid control     a GridTableModel; current row both ways, double and
//                                           right click to the model; width 0 hides a column,
//                                           the others fit their contents (GridColumnWidths)
// Every bound widget follows the control's visibility and enabled state; its tool tip is the
// control's, or while it is greyed out the reason why. Key presses in bound
// widgets go to KeyDown with the classic code first; Enter, Esc, F1..F12 and any key the model
// answered by moving the focus stop there, other keys go on to the widget so typing still edits.
// Focus follows the model both ways.
// The window title follows the form's Caption, or what SetTitle makes of it.
// Actions whose objectName is not a control's name (toolbar keys, menu items) click by that name.
// The binder takes over form.OnChanged while it lives (calling the previous handler too) and
// gives it back when destroyed. An error escaping a model handler is shown in a message box,
// never thrown through Qt's event loop.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAbstractItemView;
class QKeyEvent;
class QWidget;

namespace storeadjust {
class FormModel;
}

namespace storeadjust::qt {

class FormBinder : public QObject {
  Q_OBJECT

 public:
  FormBinder(FormModel& form, QWidget& root, QObject* parent = nullptr);
  ~FormBinder() override;
  FormBinder(const FormBinder&) = delete;
  FormBinder& operator=(const FormBinder&) = delete;

  // Model -> widgets (also run on every OnChanged).
  void Refresh();
  // The object bound to a control or action name (null when none).
  QObject* Bound(const std::string& name) const;
  // The window title from the form's state (the Caption and what the view adds to it); shown at
  // once and after every change. Empty: the Caption as it is.
  void SetTitle(std::function<QString()> title);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Binding {
    std::string name;
    QPointer<QObject> object;
  };

  void BindTree(QWidget& root);
  void BindObject(const std::string& name, QObject* object);
  void BindGrid(const std::string& name, QAbstractItemView& view);
  void ShowState(const Binding& binding);
  // Makes the model's current row the view's, in `column` (-1: the view's current column).
  void ShowGridCurrent(QAbstractItemView& view, int modelRow, int column = -1);
  void ShowGridColumns(const std::string& name, QAbstractItemView& view);
  void ShowTitle();
  void FollowModelFocus();
  bool ForwardKey(const std::string& name, QEvent* event);
  static bool DropDownCalendarOnKey(QObject* watched, const QKeyEvent& key);
  void UserFocused(const std::string& name);
  // Runs a model call; an error is shown, not thrown through Qt.
  void Guarded(const std::function<void()>& action);

  FormModel& form_;
  QPointer<QWidget> root_;
  std::vector<Binding> bindings_;
  std::map<const QObject*, std::string> names_;
  bool refreshing_ = false;
  std::string shownFocus_;
  std::function<void()> previousChanged_;
  std::function<QString()> title_;
};

}  // namespace storeadjust::qt
