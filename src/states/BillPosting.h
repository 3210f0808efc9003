#pragma once
// Posting (记帐) one bill from the editor, and handing it to its approval flow (审批). Neither
// moves stock. Failures throw adodb::Error for the caller to show.
#include <string>
#include <vector>

#include "host/Session.h"
#include "lines/BillLineValues.h"

namespace storeadjust {

enum class PostingResult {
  Posted,      // posted now
  PostedBefore,  // posted already (by another clerk, since the screen read it): nothing changed
  NotAudited,  // not audited: nothing changed
  NotConfirmed,  // issued by a two-step audit, not yet received (confirmed): nothing changed
  NotSaved,    // no bill of that serial was ever stored: nothing was posted
  LinesChanged,  // audited, but its lines are not the lines shown: nothing changed
  NoRight,     // the operator no longer holds 记帐 (taken away while he was asked): nothing changed
  AuditedSinceRead,  // audited since the caller read it unaudited (see PostBill): nothing changed
};

// Sets the posted flag of the bill when it is audited (confirmed, in the two-step flow), in one
// transaction, and says how it went. Posting freezes the bill for good: with `shownLines` (the
// lines the clerk's screen lists, BillLinesAsListed) an audited bill whose lines are others
// (another clerk took it back, changed it and audited it again) is not posted.
// Whether an audited bill's stored lines now differ from `shownLines` (the lines as the clerk saw
// them; none given: not compared). Posting freezes a bill for good: one another clerk took back,
// changed and audited again since is not the bill the clerk chose to post.
bool PostedLinesChanged(adodb::Connection& connection, const std::string& lsh, bool audited,
                        const std::vector<BillLineValues>* shownLines);

// `readUnaudited`: the caller read the bill as not audited and so asked nothing a posting of it
// would need (the editor's typed input, which a posted bill never takes): a bill audited since is
// not posted, for the caller to ask first.
PostingResult PostBill(Session& session, const std::string& lsh,
                       const std::vector<BillLineValues>* shownLines = nullptr, bool readUnaudited = false);

// What keeps a bill from its approval flow. A serial never stored names no bill (a new bill's
// serial is not reserved, and an approval record under it would bar the next new bill taking it);
// an audited bill (pre-audited, in the two-step flow) has passed the approval its audit asks for.
// With `shownLines` (the lines the clerk's screen lists, BillLinesAsListed), a bill whose lines
// are others (another clerk changed them since) is not handed over in the clerk's name.
enum class SubmissionBar { None, NotSaved, Audited, LinesChanged };

struct Submission {
  SubmissionBar bar = SubmissionBar::None;
  std::string answer;  // with no bar: the component's message, empty when the bill was submitted
};

// Submits the bill with its total and largest line amount (rounded to 2 places), its maker's and
// the current operator's Guids to the data-scope component's approval flow, unless a bar holds it
// back (then nothing is submitted). The bars, the amounts and the maker are read in one read
// transaction that lasts until the component has answered, the header under its update lock: on a
// server, another clerk's audit or line save of the bill waits until the bill is handed over, so
// the component is never given a bill audited or changed since its bars were read. (The embedded
// database has no such lock; its component reads the amounts again as it records them and asks
// the bars again there, and a refusal over a bill changed since it was read here comes back as
// the bar that now holds it.)
Submission SubmitBillForApproval(Session& session, const std::string& lsh,
                                 const std::vector<BillLineValues>* shownLines = nullptr);

}  // namespace storeadjust
