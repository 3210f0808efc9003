#pragma once
// The state changes of a transfer bill that move stock, as one engine: audit and un-audit in the
// one-step flow (both warehouses at once), audit and un-audit of the two-step flow (the
// out-warehouse) and confirm and un-confirm (the in-warehouse). Each runs in one transaction on
// the session connection: the bill's lines are read with the command's state condition, the
// user is asked once, every line moves its batch stock (phk), balance (ywbalance) and goods
// places, and the header's flags change; on any refusal or failure everything is rolled back.
//
// The engine knows nothing of forms: its questions go through StateQuestions, and it answers
// with what happened. It never shows a message and never throws: a failure is reported in the
// outcome with the database's own words.
#include <string>
#include <vector>

#include "host/Session.h"

namespace storeadjust {

enum class StateCommand {
  Audit,       // one-step 审核: issue from the out-warehouse and receive into the in-warehouse
  UnAudit,     // one-step 反审
  PreAudit,    // two-step 审核: issue from the out-warehouse
  UnPreAudit,  // two-step 反审
  Confirm,     // two-step 确认: receive into the in-warehouse
  UnConfirm,   // two-step 反确认
};

struct StateSettings {
  bool isNotPh = false;          // goods carry no batches: no phk statement runs
  bool shortageAllowed = false;  // bz3: the user may accept moving more than a warehouse holds
  std::string phkColumnList;     // the further phk columns a created batch row copies
  std::string operatorName;      // written as auditor or confirmer
};

// The questions a state change asks while its transaction is open.
class StateQuestions {
 public:
  virtual ~StateQuestions() = default;
  // The opening question ("确实要审核此单据吗?"); false rolls back.
  virtual bool ConfirmChange(const std::string& question) = 0;
  // A shortage the settings let the user accept; false rolls back.
  virtual bool AcceptShortage(const std::string& text) = 0;
  // The line being moved, 1-based, for a progress display.
  virtual void LineReached(long line, long lines, const std::string& hh) {
    (void)line;
    (void)lines;
    (void)hh;
  }
};

enum class StateResult {
  Done,             // committed
  NothingSelected,  // no line of the bill meets the state condition: nothing changed, nothing to say
  Declined,         // the user answered No: rolled back
  Refused,          // a guard, a missing stock row or a shortage: rolled back, `message` says why
  Failed,           // an error: rolled back, `message` is the database's description
};

struct StateOutcome {
  StateResult result = StateResult::Done;
  std::string message;  // Refused, Failed
  int buttons = 0;      // how the refusal is shown (message-box number) ...
  std::string title;    // ... and under which title
  std::string shownName;  // Done: the auditor or confirmer the editor shows now (empty after a reversal)
  // Done, reversals: lines left unchanged because their stock row is missing ("dh hh").
  std::vector<std::string> skippedLines;
  // Done, issues: goods whose issued quantity no goods place covered ("hh remainder").
  std::vector<std::string> unplacedIssues;
};

StateOutcome ChangeBillState(Session& session, StateCommand command, const std::string& lsh,
                             const StateSettings& settings, StateQuestions& questions);

}  // namespace storeadjust
