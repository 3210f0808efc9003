#include "player/Player.h"

#include <charconv>
#include <exception>
#include <fstream>
#include <iostream>

#include "adodb/Error.h"
#include "host/FormModel.h"
#include "host/TranscriptText.h"
#include "player/KeyNames.h"
#include "player/ScriptLexer.h"
#include "player/StoreAdjuctBillHost.h"

namespace storeadjust::player {

namespace {

// Thrown when the stream ends while a form is still shown: the scenario is over, and the module
// code waiting on that form must not go on as if the form had closed.
struct EndOfScript {};

void Require(const ScriptCommand& c, std::size_t words, const char* usage) {
  if (c.words.size() != words) throw ScriptError(std::string("usage: ") + usage);
}

long ParseLong(const std::string& word, const char* what) {
  long value = 0;
  auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size()) {
    throw ScriptError(std::string(what) + " must be a whole number, not " + word);
  }
  return value;
}

std::string Joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
  return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t pos; (pos = text.find(separator, start)) != std::string::npos; start = pos + 1)
    parts.push_back(text.substr(start, pos - start));
  parts.push_back(text.substr(start));
  return parts;
}

std::string RowText(const adodb::Row& row) {
  std::vector<std::string> cells;
  for (const auto& value : row) cells.push_back(EscapeLineBreaks(ValueText(value)));
  return "| " + Joined(cells, "\t");
}

std::string HeaderText(const std::vector<adodb::ColumnInfo>& columns) {
  std::vector<std::string> names;
  for (const auto& column : columns) names.push_back(EscapeLineBreaks(column.name));
  return "| " + Joined(names, "\t");
}

}  // namespace

Player::Player(std::istream& in, std::ostream& out, std::filesystem::path baseDirectory, HostFactory hostFactory)
    : reader_(in), out_(out), hostFactory_(std::move(hostFactory)),
      ui_([this](const std::string& line) { Write(line); }), databases_(std::move(baseDirectory)) {
  if (!hostFactory_) hostFactory_ = MakeStoreAdjuctBillHost;
  ui_.ModalLoop = [this](FormModel& form) { RunUntilClosed(form); };
}

// The host goes first: its session connection must close before the database files are removed.
Player::~Player() {
  host_.reset();
  console_.Close();
}

void Player::Write(const std::string& line) { out_ << line << '\n' << std::flush; }

int Player::Run() {
  try {
    while (RunNextCommand()) {
    }
    FinishScenario();
  } catch (const EndOfScript&) {
    FinishScenario();
  } catch (const ScriptError& e) {
    Write("ERROR " + e.Message());
    failed_ = true;
  } catch (const ScriptSyntaxError& e) {
    Write("ERROR " + e.Message());
    failed_ = true;
  }
  Write("summary: " + std::to_string(checksHeld_) + " checks held, " + std::to_string(checksFailed_) + " failed");
  return failed_ ? 1 : 0;
}

void Player::FinishScenario() {
  if (!ui_.HasQueued()) return;
  Write("ERROR still queued at the end: " + ui_.DescribeQueued());
  failed_ = true;
}

// Any error a command lets out becomes a ScriptError naming the line, which the module's own
// traps (they catch adodb::Error and std::exception) let through, so the scenario stops where
// it went wrong.
template <typename Action>
void Player::Guarded(int lineNumber, Action action) {
  const std::string where = "line " + std::to_string(lineNumber) + ": ";
  try {
    action();
  } catch (const adodb::Error& e) {
    throw ScriptError(where + e.Description());
  } catch (const std::exception& e) {
    throw ScriptError(where + e.what());
  } catch (const ScriptError& e) {
    if (e.Message().rfind("line ", 0) == 0) throw;
    throw ScriptError(where + e.Message());
  }
}

bool Player::RunNextCommand() {
  std::optional<ScriptCommand> command = reader_.Next();
  if (!command) return false;
  Write("> " + command->text);
  lastLine_ = command->lineNumber;
  Guarded(command->lineNumber, [&] {
    Dispatch(*command);
    FireDueTimers();
  });
  return true;
}

// A shown window's timers run before the user can type in it: they fire as soon as the form's
// loop starts, then after each of its commands.
void Player::RunUntilClosed(FormModel& form) {
  Guarded(lastLine_, [&] { FireDueTimers(); });
  while (form.IsOpen()) {
    if (!RunNextCommand()) throw EndOfScript{};
  }
}

void Player::FireDueTimers() {
  std::vector<FormModel*> forms = ui_.OpenForms();
  for (FormModel* form : forms) {
    if (ui_.FindOpenForm(form->Name()) == form && form->HasPendingTimers()) form->FireTimers();
  }
}

void Player::Dispatch(const ScriptCommand& c) {
  const std::string& verb = c.words[0];
  if (verb == "database") return Database(c);
  if (verb == "sql") return Sql(c);
  if (verb == "session") return SessionCommand(c);
  if (verb == "execute") return Execute(c);
  if (verb == "click") return Click(c);
  if (verb == "key") return Key(c);
  if (verb == "type") return Type(c);
  if (verb == "select") return SelectRow(c);
  if (verb == "rightclick" || verb == "dblclick") return GridMouse(c);
  if (verb == "close") return Close(c);
  if (verb == "answer") return Answer(c);
  if (verb == "choose") return Choose(c);
  if (verb == "places") return Places(c);
  if (verb == "expect") return Expect(c);
  throw ScriptError("unknown command " + verb);
}

// --- setting up ------------------------------------------------------------------------------

void Player::Database(const ScriptCommand& c) {
  Require(c, 2, "database demo|empty|PATH");
  console_.Close();
  databaseConnStr_ = databases_.Prepare(c.words[1]);
  properties_.ConnStr = databaseConnStr_;
}

std::string Player::SqlConnectionString() const {
  if (!databaseConnStr_.empty()) return databaseConnStr_;
  if (properties_.ConnStr) return *properties_.ConnStr;
  throw ScriptError("sql before any database");
}

void Player::Sql(const ScriptCommand& c) {
  Require(c, 2, "sql \"STATEMENT\"");
  adodb::ResultSet result;
  try {
    result = console_.Run(SqlConnectionString(), c.words[1]);
  } catch (const adodb::Error& e) {
    Write("sqlerror " + EscapeLineBreaks(e.Description()));
    return;
  }
  if (result.columns.empty()) return;
  Write(HeaderText(result.columns));
  for (const auto& row : result.rows) Write(RowText(row));
}

void Player::SessionCommand(const ScriptCommand& c) {
  if (c.words.size() < 2) throw ScriptError("usage: session NAME=VALUE ...");
  for (std::size_t i = 1; i < c.words.size(); ++i) SetHostProperty(properties_, c.words[i]);
}

void Player::Execute(const ScriptCommand& c) {
  Require(c, 1, "execute");
  if (!ui_.OpenForms().empty()) throw ScriptError("execute while " + ui_.OpenForms().back()->Name() + " is open");
  if (!host_) host_ = hostFactory_(ui_);
  host_->Execute(properties_);
}

// --- driving the screens -------------------------------------------------------------------

FormModel& Player::OpenForm(const std::string& name) const {
  FormModel* form = ui_.FindOpenForm(name);
  if (form == nullptr) throw ScriptError("form " + name + " is not open");
  return *form;
}

namespace {

void RequireControl(const FormModel& form, const std::string& control) {
  if (!form.HasControl(control)) throw ScriptError(form.Name() + " has no control " + control);
}

GridModel& RequireGrid(FormModel& form, const std::string& grid) {
  GridModel* model = form.Grid(grid);
  if (model == nullptr) throw ScriptError(form.Name() + " has no grid " + grid);
  return *model;
}

}  // namespace

// A user cannot press a button or toolbar button that is hidden or disabled; a scenario that
// does is wrong about the screen, so it stops rather than run a command no clerk could reach.
// A command greyed for a reason (the operator's rights, the bill's state) is pressed all the same:
// its keys and the row's double click still reach it, and its own check answers with its message.
void Player::Click(const ScriptCommand& c) {
  Require(c, 3, "click FORM NAME");
  FormModel& form = OpenForm(c.words[1]);
  const std::string& name = c.words[2];
  if (form.HasControl(name)) {
    const ControlState& control = form.Control(name);
    bool pressable = control.kind == ControlKind::Button || control.kind == ControlKind::ToolbarButton;
    if (pressable && !control.visible) throw ScriptError(name + " is hidden");
    if (pressable && !control.enabled && control.disabledReason.empty()) throw ScriptError(name + " is disabled");
  }
  form.Click(name);
}

void Player::Key(const ScriptCommand& c) {
  Require(c, 4, "key FORM CONTROL KEY");
  FormModel& form = OpenForm(c.words[1]);
  RequireControl(form, c.words[2]);
  std::optional<int> code = KeyCodeFromName(c.words[3]);
  if (!code) throw ScriptError("unknown key " + c.words[3]);
  form.KeyDown(c.words[2], *code);
}

// Check boxes take 0 or 1 and the date picker a date, written as the control holds it.
void Player::Type(const ScriptCommand& c) {
  Require(c, 4, "type FORM CONTROL TEXT");
  FormModel& form = OpenForm(c.words[1]);
  RequireControl(form, c.words[2]);
  std::string text = c.words[3];
  ControlKind kind = form.Control(c.words[2]).kind;
  if (kind == ControlKind::CheckBox && text != "0" && text != "1") throw ScriptError("a check box takes 0 or 1");
  if (kind == ControlKind::DatePicker) {
    auto date = adodb::Date::Parse(text);
    if (!date || !date->IsValid() || date->HasTime()) throw ScriptError("the date picker takes YYYY-MM-DD");
    text = date->ToText();
  }
  form.Type(c.words[2], text);
}

void Player::SelectRow(const ScriptCommand& c) {
  Require(c, 4, "select FORM GRID ROW");
  FormModel& form = OpenForm(c.words[1]);
  RequireGrid(form, c.words[2]);
  form.SelectRow(c.words[2], ParseLong(c.words[3], "ROW"));
}

void Player::GridMouse(const ScriptCommand& c) {
  Require(c, 5, "rightclick|dblclick FORM GRID ROW COL");
  FormModel& form = OpenForm(c.words[1]);
  RequireGrid(form, c.words[2]);
  long row = ParseLong(c.words[3], "ROW");
  long col = ParseLong(c.words[4], "COL");
  if (c.words[0] == "rightclick") {
    form.RightClick(c.words[2], row, col);
  } else {
    form.DoubleClick(c.words[2], row, col);
  }
}

void Player::Close(const ScriptCommand& c) {
  Require(c, 2, "close FORM");
  OpenForm(c.words[1]).Close();
}

// --- answers -------------------------------------------------------------------------------

void Player::Answer(const ScriptCommand& c) {
  Require(c, 2, "answer Yes|No");
  if (c.words[1] == "Yes") {
    ui_.QueueAnswer(mb::kYes);
  } else if (c.words[1] == "No") {
    ui_.QueueAnswer(mb::kNo);
  } else {
    throw ScriptError("answer takes Yes or No, not " + c.words[1]);
  }
}

void Player::Choose(const ScriptCommand& c) {
  Require(c, 2, "choose N|cancel");
  if (c.words[1] == "cancel") return ui_.QueueChoice(0);
  long row = ParseLong(c.words[1], "choose N");
  if (row < 1) throw ScriptError("choose takes a row from 1, or cancel");
  ui_.QueueChoice(row);
}

void Player::Places(const ScriptCommand& c) {
  Require(c, 2, "places \"ID,X,NO,QTY;...\"|cancel");
  GoodsPlaceAnswer answer;
  if (c.words[1] != "cancel") {
    answer.confirmed = true;
    if (!c.words[1].empty()) answer.items = Split(c.words[1], ';');
    for (const auto& item : answer.items) {
      if (Split(item, ',').size() != 4) throw ScriptError("places: an item is ID,X,NO,QTY, not " + item);
    }
  }
  ui_.QueuePlaces(std::move(answer));
}

// --- checks --------------------------------------------------------------------------------

void Player::Fail(const ScriptCommand& c, const std::string& got) {
  Write("FAIL " + c.text + " : got " + got);
  ++checksFailed_;
  failed_ = true;
}

void Player::Check(const ScriptCommand& c, const std::string& expected, const std::string& got) {
  if (expected != got) Fail(c, Quoted(got));
}

// A check that stops the scenario (a form that is not open, a malformed line) is an error, not a
// check that failed, so it counts on neither side of the summary.
void Player::Expect(const ScriptCommand& c) {
  const int failedBefore = checksFailed_;
  RunCheck(c);
  if (checksFailed_ == failedBefore) ++checksHeld_;
}

void Player::RunCheck(const ScriptCommand& c) {
  if (c.words.size() < 2) throw ScriptError("usage: expect WHAT ...");
  const std::string& what = c.words[1];
  if (what == "message") return ExpectMessage(c);
  if (what == "nomessage") return ExpectNoMessage(c);
  if (what == "sql") return ExpectSql(c);
  if (what == "sqlerror") return ExpectSqlError(c);
  if (what == "open" || what == "closed") {
    Require(c, 3, "expect open|closed FORM");
    bool open = ui_.FindOpenForm(c.words[2]) != nullptr;
    return Check(c, what, open ? "open" : "closed");
  }
  if (what == "field") {
    Require(c, 5, "expect field FORM CONTROL TEXT");
    FormModel& form = OpenForm(c.words[2]);
    RequireControl(form, c.words[3]);
    return Check(c, c.words[4], form.Text(c.words[3]));
  }
  if (what == "focus") {
    Require(c, 4, "expect focus FORM CONTROL");
    return Check(c, c.words[3], OpenForm(c.words[2]).Focus());
  }
  if (what == "visible") {
    Require(c, 5, "expect visible FORM CONTROL 0|1");
    FormModel& form = OpenForm(c.words[2]);
    RequireControl(form, c.words[3]);
    return Check(c, c.words[4], form.Visible(c.words[3]) ? "1" : "0");
  }
  if (what == "cell") {
    Require(c, 7, "expect cell FORM GRID ROW COL TEXT");
    GridModel& grid = RequireGrid(OpenForm(c.words[2]), c.words[3]);
    long row = ParseLong(c.words[4], "ROW");
    long col = ParseLong(c.words[5], "COL");
    if (row < 0 || row >= grid.Rows() || col < 0 || col >= grid.Cols()) {
      return Fail(c, "no cell (the grid has " + std::to_string(grid.Rows()) + " rows, " +
                         std::to_string(grid.Cols()) + " columns)");
    }
    return Check(c, c.words[6], grid.TextMatrix(row, col));
  }
  if (what == "rows") {
    Require(c, 5, "expect rows FORM GRID N");
    GridModel& grid = RequireGrid(OpenForm(c.words[2]), c.words[3]);
    return Check(c, std::to_string(ParseLong(c.words[4], "N")), std::to_string(grid.Rows()));
  }
  throw ScriptError("unknown check expect " + what);
}

void Player::ExpectMessage(const ScriptCommand& c) {
  Require(c, 3, "expect message TEXT");
  const auto& boxes = ui_.Boxes();
  bool seen = false;
  std::vector<std::string> texts;
  for (std::size_t i = messageMark_; i < boxes.size(); ++i) {
    seen = seen || boxes[i].text.find(c.words[2]) != std::string::npos;
    texts.push_back(boxes[i].text);
  }
  messageMark_ = boxes.size();
  if (!seen) Fail(c, texts.empty() ? std::string("no message") : Quoted(Joined(texts, " | ")));
}

void Player::ExpectNoMessage(const ScriptCommand& c) {
  Require(c, 2, "expect nomessage");
  const auto& boxes = ui_.Boxes();
  std::vector<std::string> texts;
  for (std::size_t i = messageMark_; i < boxes.size(); ++i) texts.push_back(boxes[i].text);
  messageMark_ = boxes.size();
  if (!texts.empty()) Fail(c, Quoted(Joined(texts, " | ")));
}

void Player::ExpectSql(const ScriptCommand& c) {
  Require(c, 4, "expect sql \"STATEMENT\" TEXT");
  std::string got;
  try {
    adodb::ResultSet result = console_.Run(SqlConnectionString(), c.words[2]);
    if (!result.rows.empty() && !result.rows.front().empty()) got = ValueText(result.rows.front().front());
  } catch (const adodb::Error& e) {
    return Fail(c, "sqlerror " + Quoted(e.Description()));
  }
  Check(c, c.words[3], got);
}

void Player::ExpectSqlError(const ScriptCommand& c) {
  Require(c, 3, "expect sqlerror \"STATEMENT\"");
  try {
    console_.Run(SqlConnectionString(), c.words[2]);
  } catch (const adodb::Error&) {
    return;
  }
  Fail(c, "no error");
}

int PlayScenario(const std::string& file, std::ostream& out, HostFactory hostFactory) {
  if (file == "-") {
    Player player(std::cin, out, std::filesystem::current_path(), std::move(hostFactory));
    return player.Run();
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    out << "ERROR cannot read " << file << '\n';
    return 1;
  }
  Player player(in, out, std::filesystem::absolute(file).parent_path(), std::move(hostFactory));
  return player.Run();
}

}  // namespace storeadjust::player
