#pragma once
// A screen as a presentation model: the state of its controls (text, caption, visibility,
// enabled, focus), its grids, and its event handlers. It knows nothing of Qt. The Qt view binds
// widgets to controls by name (a widget's objectName is the control's name), and the scenario
// player drives it by the same names.
//
// A screen derives from FormModel, declares its controls in its constructor (AddControl) and
// overrides the handlers it needs. Writing a control's state through the model raises
// OnChanged so a view can refresh; user actions arrive through Type / KeyDown / Click / grid
// calls, exactly as the classic form received them.
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/GridModel.h"

namespace storeadjust {

enum class ControlKind { TextBox, Label, Button, CheckBox, DatePicker, NumericEdit, Grid, ToolbarButton, MenuItem, StatusPanel, Frame };

struct ControlState {
  ControlKind kind = ControlKind::TextBox;
  std::string text;     // text, check box "0"/"1", date "YYYY-MM-DD", numeric edit's text
  std::string caption;  // label/button/toolbar/menu caption
  bool visible = true;
  bool enabled = true;
  bool locked = false;  // read-only text box
  int decimals = -1;    // numeric edit: decimal places shown (-1 unspecified)
  std::string toolTip;
  // Why a command is greyed out (the operator's rights or the bill's state rule it out); views
  // show it as the tool tip of the grey control. Empty while the control is enabled.
  std::string disabledReason;
};

class FormModel {
 public:
  explicit FormModel(std::string name) : name_(std::move(name)) {}
  virtual ~FormModel() = default;
  FormModel(const FormModel&) = delete;
  FormModel& operator=(const FormModel&) = delete;

  const std::string& Name() const { return name_; }
  std::string Caption;  // window title
  bool IsOpen() const { return open_; }

  // --- controls -------------------------------------------------------------------------
  bool HasControl(const std::string& name) const { return controls_.count(name) != 0; }
  const ControlState& Control(const std::string& name) const;  // throws adodb::Error::ItemNotFound
  // Names in declaration order (views lay them out; the player checks names against it).
  const std::vector<std::string>& ControlNames() const { return order_; }
  std::string Text(const std::string& name) const { return Control(name).text; }
  bool Visible(const std::string& name) const { return Control(name).visible; }
  bool Enabled(const std::string& name) const { return Control(name).enabled; }
  const std::string& DisabledReason(const std::string& name) const { return Control(name).disabledReason; }
  // The control that has the focus (empty when none).
  const std::string& Focus() const { return focus_; }

  // Model-side writes (the code of the form setting its controls); raise OnChanged.
  void SetText(const std::string& name, const std::string& text);
  void SetCaption(const std::string& name, const std::string& caption);
  void SetVisible(const std::string& name, bool visible);
  void SetEnabled(const std::string& name, bool enabled);
  void SetLocked(const std::string& name, bool locked);
  void SetDecimals(const std::string& name, int decimals);
  // Greys a command out with the reason a clerk reads (empty `reason`: enabled again). The
  // command behind it keeps its own checks: a key that reaches it is refused as before.
  void SetAvailable(const std::string& name, const std::string& reason);
  // Moves the focus; runs the LostFocus handler of the control that had it first.
  void SetFocus(const std::string& name);

  // Grids by control name (null when the name is not a grid).
  virtual GridModel* Grid(const std::string& name) { (void)name; return nullptr; }

  // --- user actions (what the keyboard and mouse do) ---------------------------------------
  // The user replaces a control's text (typing); raises the Change handler.
  void Type(const std::string& control, const std::string& text);
  // A key pressed in a control: the form sees it first (FormKeyDown), then the control's
  // KeyDown handler unless the form consumed it (keyCode set to 0).
  void KeyDown(const std::string& control, int keyCode, int shift = 0);
  // A click on a button, toolbar button (by key/caption) or menu item (by name).
  virtual void Click(const std::string& name) = 0;
  // Grid mouse actions; row 0 is the header row.
  virtual void SelectRow(const std::string& grid, long row);
  virtual void RightClick(const std::string& grid, long row, long col) { (void)grid; (void)row; (void)col; }
  virtual void DoubleClick(const std::string& grid, long row, long col) { (void)grid; (void)row; (void)col; }

  // --- life ---------------------------------------------------------------------------------
  // Form_Load: called by whoever shows the form, before it is shown.
  void Load();
  // The window's close box: QueryUnload may cancel; otherwise Unload runs and the form closes.
  void Close();
  // Fires the timers that are due (deferred focus moves after the window is shown).
  virtual void FireTimers() {}
  bool HasPendingTimers() const { return pendingTimers_ > 0; }

  // Raised after any control state changes (views refresh the bound widgets).
  std::function<void()> OnChanged;
  // Raised when the form has closed itself or was closed (a modal loop ends).
  std::function<void()> OnClosed;

 protected:
  void AddControl(const std::string& name, ControlKind kind, const std::string& caption = {});
  ControlState& MutableControl(const std::string& name);
  // Writes one property of a control's state and tells the views.
  template <typename T, typename V>
  void Change(const std::string& name, T ControlState::*property, V&& value) {
    MutableControl(name).*property = std::forward<V>(value);
    NotifyChanged();
  }
  void NotifyChanged() const {
    if (OnChanged) OnChanged();
  }

  // Handlers a screen overrides.
  virtual void FormLoad() {}
  virtual bool QueryUnload() { return true; }  // false cancels the close
  virtual void FormUnload() {}
  virtual void FormKeyDown(int& keyCode, int shift) { (void)keyCode; (void)shift; }
  virtual void ControlKeyDown(const std::string& control, int& keyCode, int shift) {
    (void)control; (void)keyCode; (void)shift;
  }
  virtual void ControlChange(const std::string& control) { (void)control; }
  virtual void ControlLostFocus(const std::string& control) { (void)control; }
  virtual void ControlGotFocus(const std::string& control) { (void)control; }

  // The control the key being handled was pressed in (empty outside KeyDown), so a form-level
  // key can leave alone the fields where it means something else.
  const std::string& KeyControl() const { return keyControl_; }

  int pendingTimers_ = 0;

 private:
  std::string keyControl_;
  std::string name_;
  std::map<std::string, ControlState> controls_;
  std::vector<std::string> order_;
  std::string focus_;
  bool open_ = false;
};

}  // namespace storeadjust
