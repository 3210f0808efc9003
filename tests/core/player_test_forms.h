#pragma once
// A tiny module for the player's own tests: a form with a text box, a label, buttons whose
// clicks run what the test says, and one timer that moves the focus after the form is shown;
// a Host that runs what the test says on `execute`; and Play, which runs a script against it.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "adodb/Error.h"
#include "host/FormModel.h"
#include "player/Host.h"
#include "player/Player.h"

namespace storeadjust::player::testing {

class TestForm : public FormModel {
 public:
  explicit TestForm(std::string name) : FormModel(std::move(name)) {
    AddControl("TxtA", ControlKind::TextBox);
    AddControl("TxtB", ControlKind::TextBox);
    AddControl("Status", ControlKind::Label);
    AddControl("Cmd_Open", ControlKind::Button, "打开");
    AddControl("新增", ControlKind::ToolbarButton, "新增");
    AddControl("审核", ControlKind::ToolbarButton, "审核");
    AddControl("Chk1", ControlKind::CheckBox);
    AddControl("DTPKdrq", ControlKind::DatePicker);
    SetVisible("审核", false);
    grid_.SetCols(2);
    grid_.SetRows(3);
    grid_.SetTextMatrix(0, 0, "货号");
    grid_.SetTextMatrix(1, 0, "A001");
  }
  std::map<std::string, std::function<void()>> clicks;
  GridModel* Grid(const std::string& name) override { return name == "Vfg" ? &grid_ : nullptr; }
  void Click(const std::string& name) override {
    auto it = clicks.find(name);
    if (it == clicks.end()) throw adodb::Error::ItemNotFound();
    it->second();
  }
  void FireTimers() override {
    pendingTimers_ = 0;
    SetFocus("TxtB");
  }

 protected:
  void FormLoad() override { pendingTimers_ = 1; }

 private:
  TextGrid grid_;
};

class TestHost : public Host {
 public:
  explicit TestHost(std::function<void(const HostProperties&)> run) : run_(std::move(run)) {}
  void Execute(const HostProperties& properties) override { run_(properties); }

 private:
  std::function<void(const HostProperties&)> run_;
};

// A factory for the Player: `run` receives the scripted interface and the properties.
inline HostFactory MakeTestHost(std::function<void(UserInterface&, const HostProperties&)> run) {
  return [run](UserInterface& ui) {
    return std::make_unique<TestHost>([run, &ui](const HostProperties& p) { run(ui, p); });
  };
}

struct Played {
  int status = 0;
  std::string transcript;
  bool Has(const std::string& text) const { return transcript.find(text) != std::string::npos; }
};

inline Played Play(const std::string& script, HostFactory host,
                   const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
  std::istringstream in(script);
  std::ostringstream out;
  Player player(in, out, base, std::move(host));
  const int status = player.Run();
  return {status, out.str()};
}

}  // namespace storeadjust::player::testing
