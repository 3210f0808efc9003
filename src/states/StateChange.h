#pragma once
// The state changes of a transfer bill that move stock, as one engine: audit and un-audit in the
// one-step flow (both warehouses at once), audit and un-audit of the two-step flow (the
// out-warehouse) and confirm and un-confirm (the in-warehouse).
//
// Ask first, then act: the bill's header and the lines the command selects are read and the
// user is asked once, with no transaction open; then one transaction on the session connection
// reads the header again under an update lock (two commands on one bill queue there), reads the
// lines again, and changes nothing when either differs from what the question was asked about.
// Every line moves its batch stock (phk), balance (ywbalance) and goods places, and the header's
// flags change; on any refusal or failure everything is rolled back. A shortage that needs the
// user's word rolls back, is asked, and on Yes the whole command runs again in a new transaction
// with every check made again.
//
// The engine knows nothing of forms: its questions go through StateQuestions, and it answers
// with what happened, as a kind and the words. It never shows a message and never throws: a
// failure is reported in the outcome with the database's own words.
#include <optional>
#include <string>
#include <vector>

#include "host/Session.h"
#include "lines/BillLineValues.h"

namespace storeadjust {

enum class StateCommand {
  Audit,       // one-step 审核: issue from the out-warehouse and receive into the in-warehouse
  UnAudit,     // one-step 反审
  PreAudit,    // two-step 审核: issue from the out-warehouse
  UnPreAudit,  // two-step 反审
  Confirm,     // two-step 确认: receive into the in-warehouse
  UnConfirm,   // two-step 反确认
};

struct ApprovalPassed {
  std::optional<std::string> acceptedWarning;  // the audit procedure's warning the clerk accepted
};

struct StateSettings {
  bool isNotPh = false;          // goods carry no batches: no phk statement runs
  bool shortageAllowed = false;  // bz3: the user may accept moving more than a warehouse holds
  std::string phkColumnList;     // the further phk columns a created batch row copies
  std::string operatorName;      // written as auditor or confirmer
  // The site's flow (StartStoreAdjustOK: two steps) as the screen read it when it opened and chose
  // its commands by: given, the command is refused, before its question and again inside its
  // transaction, when the site runs the other flow now. Callers that choose the flow give none.
  std::optional<bool> shownTwoStep = std::nullopt;
  // Given to an audit that passed the approval flow's gate (PassAuditGate) before its question:
  // the gate is asked again inside the transaction, where approval switched on or withdrawn, or
  // the audit procedure's refusal, while the clerk answered refuses the audit in the gate's words.
  // Only the procedure's warning the clerk accepted (if any) passes again; another asks first.
  std::optional<ApprovalPassed> approval = std::nullopt;
  // The caller read the bill in a state that rules the command out, and so asked nothing that
  // running it would need (the editor's typed input, which an audited bill never takes): a bill
  // another clerk has brought to the command's starting state since is refused as AllowedSinceRead,
  // before the opening question, for the caller to ask first and run the command again.
  bool readRuledOut = false;
};

// The questions a state change asks; never while its transaction is open.
class StateQuestions {
 public:
  virtual ~StateQuestions() = default;
  // The opening question ("确实要审核此单据吗?"); false rolls back.
  virtual bool ConfirmChange(const std::string& question) = 0;
  // A shortage the settings let the user accept; false leaves the bill as it is.
  virtual bool AcceptShortage(const std::string& text) = 0;
  // The line being moved, 1-based, for a progress display (inside the transaction: a display
  // only, nothing to answer).
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
  Refused,          // rolled back, or never begun: `refusal` says what kind, `message` the words
  Failed,           // an error: rolled back, `message` is the database's description
};

// Why a command was refused; the screen decides how each kind is shown.
enum class StateRefusal {
  None,
  Guard,         // the bill's state does not allow the command (not audited, not un-confirmed)
  StateChanged,  // the bill changed since the clerk saw it or was asked: `message` names what was found
  MissingStock,  // an issued line has no stock row
  Shortage,      // a warehouse holds less than a line takes and shortages are not allowed
  MasterGone,    // a warehouse or goods place the bill moves stock in was removed from the master meanwhile,
                 // or a line's goods are kept by amount only since it was entered with a batch
  NoRight,       // the operator no longer holds the command's right: `message` is the no-right message
  PlacesUnchosen,  // a line's goods places do not hold its quantity in a warehouse that keeps places
  FlowChanged,     // the site switched between the one-step and two-step flow since the screen opened
  NotApproved,     // the approval flow no longer passes the bill (asked again inside the transaction)
  AllowedSinceRead,  // the bill allows the command now, though the caller read it ruled out
                     // (StateSettings::readRuledOut): nothing asked, nothing changed, no words
};

struct StateOutcome {
  StateResult result = StateResult::Done;
  StateRefusal refusal = StateRefusal::None;  // Refused
  std::string message;                        // Refused, Failed
  std::string shownName;  // Done: the auditor or confirmer the editor shows now (empty after a reversal)
  // Done, reversals: lines left unchanged because their stock row is missing ("dh hh").
  std::vector<std::string> skippedLines;
  // Done, issues: goods whose issued quantity no goods place covered ("hh remainder").
  std::vector<std::string> unplacedIssues;
};

// The warehouses a list shows a bill moving its goods between, as read when it was listed.
struct ShownWarehouses {
  std::string out, in;
};

// `shownLines`: the bill's lines as the clerk's screen lists them (BillLinesAsListed, read when
// it listed them; for the browser's marked bills, when they were marked). Given, a command that
// would move other lines (another clerk changed, added or deleted one since) is refused, before
// its question or inside its transaction, as StateChanged: the clerk's Yes is given to the lines
// he sees. The browser also gives `shownWarehouses`, the warehouses its list shows the bill
// between: a bill whose lines now move goods between others is refused inside the transaction,
// as StateChanged (all that is compared where the lines could not be read at the mark).
StateOutcome ChangeBillState(Session& session, StateCommand command, const std::string& lsh,
                             const StateSettings& settings, StateQuestions& questions,
                             const std::vector<BillLineValues>* shownLines = nullptr,
                             const ShownWarehouses* shownWarehouses = nullptr);

}  // namespace storeadjust
