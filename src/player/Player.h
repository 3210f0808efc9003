#pragma once
// The scenario player: runs the commands of one scenario (see the scenario file format) against
// the module and writes the transcript. Commands come from a CommandReader; every form the
// module shows modally runs the commands that follow in a nested loop (RunUntilClosed) until it
// closes, then the module code that showed it goes on, exactly as a modal window's own event
// loop would. After every command the open forms' due timers fire.
//
// Outcome: Run() gives 0 when every check held and no error occurred, 1 otherwise. A failed
// check writes a FAIL line and the scenario goes on; an error (a malformed line, an unknown form
// or control, a question with nothing queued, an error the module let escape) writes an ERROR
// line and stops the scenario. Anything still queued at the end is an error. The transcript's
// last line counts the checks that held and failed.
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "host/ScriptedUserInterface.h"
#include "player/CommandReader.h"
#include "player/Host.h"
#include "player/ScenarioDatabase.h"
#include "player/SqlConsole.h"

namespace storeadjust::player {

class Player {
 public:
  // baseDirectory: where relative database paths are found (the scenario file's folder).
  // hostFactory: the module under test (the real StoreAdjuctBill when left empty).
  Player(std::istream& in, std::ostream& out, std::filesystem::path baseDirectory, HostFactory hostFactory = {});
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  int Run();
  ScriptedUserInterface& Ui() { return ui_; }

 private:
  bool RunNextCommand();  // false at the end of the stream
  template <typename Action>
  void Guarded(int lineNumber, Action action);
  void RunUntilClosed(FormModel& form);
  void Dispatch(const ScriptCommand& command);
  void FireDueTimers();
  void FinishScenario();

  // Setting up.
  void Database(const ScriptCommand& c);
  void Sql(const ScriptCommand& c);
  void SessionCommand(const ScriptCommand& c);
  void Execute(const ScriptCommand& c);
  // Driving the screens.
  void Click(const ScriptCommand& c);
  void Key(const ScriptCommand& c);
  void Type(const ScriptCommand& c);
  void SelectRow(const ScriptCommand& c);
  void GridMouse(const ScriptCommand& c);
  void Close(const ScriptCommand& c);
  // Answers.
  void Answer(const ScriptCommand& c);
  void Choose(const ScriptCommand& c);
  void Places(const ScriptCommand& c);
  // Checks.
  void Expect(const ScriptCommand& c);
  void RunCheck(const ScriptCommand& c);
  void ExpectMessage(const ScriptCommand& c);
  void ExpectNoMessage(const ScriptCommand& c);
  void ExpectSql(const ScriptCommand& c);
  void ExpectSqlError(const ScriptCommand& c);
  void Check(const ScriptCommand& c, const std::string& expected, const std::string& got);
  void Fail(const ScriptCommand& c, const std::string& got);

  FormModel& OpenForm(const std::string& name) const;
  std::string SqlConnectionString() const;
  void Write(const std::string& line);

  CommandReader reader_;
  std::ostream& out_;
  HostFactory hostFactory_;
  ScriptedUserInterface ui_;
  ScenarioDatabase databases_;
  SqlConsole console_;
  HostProperties properties_;
  std::string databaseConnStr_;
  std::unique_ptr<Host> host_;
  std::size_t messageMark_ = 0;  // boxes before this index were seen by an expect (no)message
  int lastLine_ = 0;              // the line of the command running now
  bool failed_ = false;
  int checksHeld_ = 0;
  int checksFailed_ = 0;
};

// Runs a scenario file ("-" for standard input) and gives the exit status.
int PlayScenario(const std::string& file, std::ostream& out, HostFactory hostFactory = {});

}  // namespace storeadjust::player
