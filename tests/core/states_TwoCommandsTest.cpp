// Two clerks, each in a process of their own, running two commands on one bill at once: save a
// line, amend one, delete one, delete the bill, audit, un-audit, confirm, un-confirm, post and
// re-allocate a line's goods places (the two-step flow, between two goods-place warehouses).
//
// For every ordered pair (A, B) the first clerk's process is held still just before one of its
// database statements (an even sample of them, shifted from pair to pair so that together the
// pairs cover every step) while the second clerk's command runs. When B has to wait for A's lock
// (its busy handler says so) or has finished, A is let go. Afterwards the bill, its lines and
// goods-place rows and the stock are exactly as one of the two serial orders leaves them: A then
// B, or B then A. A command that finds the bill changed since its question changes nothing and
// says so; that is the serial order in which it came second and its clerk said No, so then the
// other command alone is what must be found.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <filesystem>
#include <functional>
#include <map>

#include "db/DatabaseFactory.h"
#include "lines/BillDeletion.h"
#include "lines/LineChanges.h"
#include "lines/LineSaving.h"
#include "states/BillPosting.h"
#include "states/StateChange.h"
#include "support/DatabaseFiles.h"
#include "support/ModuleSession.h"
#include "support/SanitizedRuns.h"
#include "support/StateAnswers.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

namespace fs = std::filesystem;
using testsupport::CopyDatabaseFile;
using testsupport::FullDumpOf;
using testsupport::HandleOf;

// How a command ended, as its process's exit status.
enum Ended { kActed = 0, kNotApplicable = 1, kError = 2, kChangedMeanwhile = 3 };

enum class Start { Entered, PreAudited, Confirmed };

struct Command {
  const char* name;
  Start start;  // the bill's state the command is meant for: the pair starts there
  std::function<Ended(Session&, const std::string& lsh)> run;
};

Ended FromState(StateCommand command, Session& session, const std::string& lsh) {
  testsupport::StateAnswers yes;
  const StateOutcome outcome = ChangeBillState(session, command, lsh, {false, false, "bcsl,SellPrice", "系统管理员"}, yes);
  if (outcome.result == StateResult::Done) return kActed;
  if (outcome.result == StateResult::Refused && outcome.refusal == StateRefusal::StateChanged) return kChangedMeanwhile;
  if (outcome.result == StateResult::Failed) return kError;
  return kNotApplicable;
}

LineToSave PlacedLine(const std::string& lsh, const char* hh, const char* ph, const char* pcdh, double qty,
                      std::vector<std::string> places) {
  return testsupport::PlacedLine(lsh, "05", "04", hh, ph, pcdh, qty, std::move(places));
}

Ended FromSave(Session& session, const LineToSave& line) {
  return StoreLine(session, line).outcome == LineSaveOutcome::Saved ? kActed : kNotApplicable;
}

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"save a line", Start::Entered,
       [](Session& s, const std::string& lsh) {
         return FromSave(s, PlacedLine(lsh, "0023", "230422", "200231", 2, {"P04A01,x,A01,2"}));
       }},
      {"amend", Start::Entered,
       [](Session& s, const std::string& lsh) {
         LineToSave line = PlacedLine(lsh, "0021", "240216", "200212", 10, {"P04A01,x,A01,10"});
         line.amend = true;
         line.dh = "1001";
         return FromSave(s, line);
       }},
      {"delete a line", Start::Entered,
       [](Session& s, const std::string& lsh) { return DeleteStoredLine(s, lsh, "1002") ? kActed : kNotApplicable; }},
      {"delete the bill", Start::Entered,
       [](Session& s, const std::string& lsh) {
         return DeleteBill(s, lsh) == BillDeletionResult::Deleted ? kActed : kNotApplicable;
       }},
      {"audit", Start::Entered, std::bind_front(FromState, StateCommand::PreAudit)},
      {"un-audit", Start::PreAudited, std::bind_front(FromState, StateCommand::UnPreAudit)},
      {"confirm", Start::PreAudited, std::bind_front(FromState, StateCommand::Confirm)},
      {"un-confirm", Start::Confirmed, std::bind_front(FromState, StateCommand::UnConfirm)},
      {"post", Start::Confirmed,
       [](Session& s, const std::string& lsh) { return PostBill(s, lsh) == PostingResult::Posted ? kActed : kNotApplicable; }},
      {"re-allocate goods places", Start::PreAudited,
       [](Session& s, const std::string& lsh) {
         return ReallocateInWarehousePlaces(s, {lsh, "1001", "0021", "04", "240216", "200212", {"P04A02,x,A02,12"}})
                    ? kActed
                    : kNotApplicable;
       }},
  };
  return commands;
}

// --- holding a process at a statement, and noticing that one waits for a lock ------------------

struct Hold {
  long statements = 0;
  long holdAt = 0;  // hold just before this statement (1-based); 0: never
  int heldFd = -1, releaseFd = -1;
};

int HoldAtStatement(unsigned, void* context, void*, void*) {
  auto& hold = *static_cast<Hold*>(context);
  if (++hold.statements == hold.holdAt) {
    char byte = 'h';
    if (write(hold.heldFd, &byte, 1) != 1) _exit(kError);
    if (read(hold.releaseFd, &byte, 1) < 0) _exit(kError);
  }
  return 0;
}

int waitingFd = -1;
// The first time the connection finds the database locked, the parent is told; then it waits as
// long as a clerk would.
int TellWhenWaiting(void*, int attempt) {
  if (attempt == 0 && waitingFd >= 0) {
    char byte = 'w';
    if (write(waitingFd, &byte, 1) != 1) return 0;
    close(waitingFd);
    waitingFd = -1;
  }
  usleep(1000);
  return attempt < 60000;
}

// Runs the command on the file; `hold` counts (and holds at) its statements, `tellWaiting` makes
// its connection tell the parent when it finds the database locked.
Ended RunCommand(const std::string& path, const Command& command, const std::string& lsh, Hold* hold,
                 bool tellWaiting = false) {
  ScriptedUserInterface ui;
  try {
    Session session = testsupport::OpenEditorSession(db::EmbeddedConnectionString(path), ui);
    if (hold) sqlite3_trace_v2(HandleOf(session), SQLITE_TRACE_STMT, HoldAtStatement, hold);
    if (tellWaiting) sqlite3_busy_handler(HandleOf(session), TellWhenWaiting, nullptr);
    return command.run(session, lsh);
  } catch (const std::exception&) {
    return kError;
  }
}

class TwoCommandsTest : public ::testing::Test {
 protected:
  // One bill 05 -> 04, both warehouses keeping goods places: 12 of 0021 split over two places,
  // 8.5 of 0024 on one. Kept in three states, each a file of its own.
  void SetUp() override {
    ScriptedUserInterface ui;
    Session session = testsupport::OpenEditorSession(db_, ui);
    lsh_ = StoreLine(session, PlacedLine("", "0021", "240216", "200212", 12, {"P04A01,x,A01,7", "P04A02,x,A02,5"})).lsh;
    StoreLine(session, PlacedLine(lsh_, "0024", "230501", "200241", 8.5, {"P04A02,x,A02,8.5"}));
    session.Conn->Close();
    fs::copy_file(db_.Path(), Base(Start::Entered));
    ASSERT_EQ(RunCommand(db_.Path(), Commands()[4], lsh_, nullptr), kActed);
    fs::copy_file(db_.Path(), Base(Start::PreAudited));
    ASSERT_EQ(RunCommand(db_.Path(), Commands()[6], lsh_, nullptr), kActed);
    fs::copy_file(db_.Path(), Base(Start::Confirmed));
  }

  fs::path Base(Start start) const {
    return db_.Folder() / (start == Start::Entered ? "entered.db" : start == Start::PreAudited ? "audited.db" : "confirmed.db");
  }

  // The tables after running the commands one after the other from the pair's start.
  std::string Serial(Start start, std::initializer_list<const Command*> commands) {
    const fs::path work = db_.Folder() / "serial.db";
    CopyDatabaseFile(Base(start), work);
    for (const Command* command : commands) {
      if (RunCommand(work.string(), *command, lsh_, nullptr) == kError) return "error running " + std::string(command->name);
    }
    return FullDumpOf(work);
  }

  long StatementsOf(Start start, const Command& command) {
    const fs::path work = db_.Folder() / "count.db";
    CopyDatabaseFile(Base(start), work);
    Hold count;
    RunCommand(work.string(), command, lsh_, &count);
    return count.statements;
  }

  // A held before its statement `at` while B runs; the exit statuses of A and B.
  std::array<int, 2> Interleave(const fs::path& work, const Command& a, const Command& b, long at) {
    int held[2], release[2];
    if (pipe(held) != 0 || pipe(release) != 0) return {-1, -1};
    const pid_t first = fork();
    if (first == 0) {
      close(held[0]);
      close(release[1]);
      Hold hold{0, at, held[1], release[0]};
      _exit(RunCommand(work.string(), a, lsh_, &hold));
    }
    close(held[1]);
    close(release[0]);
    char byte = 'r';
    [[maybe_unused]] const auto isHeld = read(held[0], &byte, 1);  // 0 bytes: A ended before statement `at`
    close(held[0]);
    int waiting[2];
    if (pipe(waiting) != 0) return {-1, -1};
    const pid_t second = fork();
    if (second == 0) {
      close(waiting[0]);
      close(release[1]);  // only the parent may let A go: A's read ends when the parent closes it
      waitingFd = waiting[1];
      _exit(RunCommand(work.string(), b, lsh_, nullptr, true));
    }
    close(waiting[1]);
    [[maybe_unused]] const auto told = read(waiting[0], &byte, 1);  // B waits for A's lock, or has ended
    close(waiting[0]);
    close(release[1]);  // lets A go on (its read ends)
    std::array<int, 2> exits{};
    for (const auto& [index, child] : {std::pair{0, first}, std::pair{1, second}}) {
      int status = 0;
      exits[index] = waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return exits;
  }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  std::string lsh_;
};

// One case for each command held first, so the pairs spread over the test runner's cores.
class HeldFirst : public TwoCommandsTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(HeldFirst, EveryPairOfCommandsOnOneBillEndsAsOneOfTheTwoSerialOrders) {
  // Under the sanitizers the interleavings matter less than the memory checks: one hold a pair,
  // still shifted from pair to pair.
  const int samples = testsupport::Rounds(3, 1);
  const fs::path work = db_.Folder() / "work.db";
  const Command& a = Commands()[GetParam()];
  int pair = static_cast<int>(GetParam() * Commands().size());
  const long statements = StatementsOf(a.start, a);
  ASSERT_GT(statements, 0) << a.name;
  for (const Command& b : Commands()) {
    ++pair;
    SCOPED_TRACE(std::string(a.name) + " held, then " + b.name);
    // The serial orders, each run when first needed.
    std::map<int, std::string> serials;
    const auto serial = [&](int order) -> const std::string& {
      if (!serials.contains(order)) {
        serials[order] = order == 0 ? Serial(a.start, {&a, &b}) : order == 1 ? Serial(a.start, {&b, &a})
                                    : order == 2 ? Serial(a.start, {&a}) : Serial(a.start, {&b});
      }
      return serials[order];
    };
    for (int sample = 0; sample < samples; ++sample) {
      const long at = 1 + (sample * statements / samples + pair) % statements;
      CopyDatabaseFile(Base(a.start), work);
      const std::array<int, 2> exits = Interleave(work, a, b, at);
      ASSERT_NE(exits[0], kError) << a.name << " failed, held before statement " << at << " of " << statements;
      ASSERT_NE(exits[1], kError) << b.name << " failed while " << a.name << " was held at " << at;
      ASSERT_TRUE(exits[0] >= 0 && exits[0] <= 3 && exits[1] >= 0 && exits[1] <= 3) << exits[0] << " " << exits[1];
      const std::string found = FullDumpOf(work);
      const bool asSerial = found == serial(0) || found == serial(1) ||
                            (exits[0] == kChangedMeanwhile && found == serial(3)) ||
                            (exits[1] == kChangedMeanwhile && found == serial(2));
      EXPECT_TRUE(asSerial) << a.name << " held before statement " << at << " of " << statements << " (exit " << exits[0]
                          << "), " << b.name << " (exit " << exits[1] << "): the tables match neither serial order";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(TwoCommandsTest, HeldFirst, ::testing::Range<std::size_t>(0, Commands().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           std::string name = Commands()[info.param].name;
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

}  // namespace
}  // namespace storeadjust
