#include "host/FormModel.h"

#include "adodb/Error.h"

namespace storeadjust {

const ControlState& FormModel::Control(const std::string& name) const {
  auto it = controls_.find(name);
  if (it == controls_.end()) throw adodb::Error::ItemNotFound();
  return it->second;
}

ControlState& FormModel::MutableControl(const std::string& name) {
  auto it = controls_.find(name);
  if (it == controls_.end()) throw adodb::Error::ItemNotFound();
  return it->second;
}

void FormModel::AddControl(const std::string& name, ControlKind kind, const std::string& caption) {
  ControlState state;
  state.kind = kind;
  state.caption = caption;
  if (kind == ControlKind::CheckBox) state.text = "0";
  if (controls_.emplace(name, state).second) order_.push_back(name);
}

void FormModel::SetText(const std::string& name, const std::string& text) { Change(name, &ControlState::text, text); }

void FormModel::SetCaption(const std::string& name, const std::string& caption) {
  Change(name, &ControlState::caption, caption);
}

void FormModel::SetVisible(const std::string& name, bool visible) { Change(name, &ControlState::visible, visible); }

void FormModel::SetEnabled(const std::string& name, bool enabled) { Change(name, &ControlState::enabled, enabled); }

void FormModel::SetAvailable(const std::string& name, const std::string& reason) {
  ControlState& state = MutableControl(name);
  if (state.enabled == reason.empty() && state.disabledReason == reason) return;
  state.enabled = reason.empty();
  state.disabledReason = reason;
  NotifyChanged();
}

void FormModel::SetLocked(const std::string& name, bool locked) { Change(name, &ControlState::locked, locked); }

void FormModel::SetDecimals(const std::string& name, int decimals) { Change(name, &ControlState::decimals, decimals); }

void FormModel::SetFocus(const std::string& name) {
  Control(name);  // an unknown name is an error, as in the classic form
  if (focus_ == name) return;
  std::string previous = focus_;
  focus_ = name;
  if (!previous.empty()) ControlLostFocus(previous);
  if (focus_ == name) ControlGotFocus(name);
  NotifyChanged();
}

void FormModel::Type(const std::string& control, const std::string& text) {
  MutableControl(control).text = text;
  ControlChange(control);
  NotifyChanged();
}

void FormModel::KeyDown(const std::string& control, int keyCode, int shift) {
  Control(control);
  keyControl_ = control;
  FormKeyDown(keyCode, shift);
  if (keyCode != 0) ControlKeyDown(control, keyCode, shift);
  keyControl_.clear();
  NotifyChanged();
}

void FormModel::SelectRow(const std::string& grid, long row) {
  GridModel* g = Grid(grid);
  if (g == nullptr) throw adodb::Error::ItemNotFound();
  if (row < 0 || row >= g->Rows()) throw adodb::Error::SubscriptOutOfRange();
  g->Row = row;
  g->NotifyCurrent();
  NotifyChanged();
}

void FormModel::Load() {
  open_ = true;
  FormLoad();
  NotifyChanged();
}

void FormModel::Close() {
  if (!open_) return;
  if (!QueryUnload()) return;
  FormUnload();
  open_ = false;
  NotifyChanged();
  if (OnClosed) OnClosed();
}

}  // namespace storeadjust
