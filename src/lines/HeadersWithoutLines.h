#pragma once
// Bill headers left without lines are removed, of any operator, when the editor closes and when
// the browser reads its list again. `fromWhere` is the statement's "From ... Where ..." naming
// them; it is deleted from only when it names a header. A delete takes the file's write lock even
// when it finds nothing: every list would wait for whichever clerk is writing, and a file that
// may only be read could not be listed again at all. Removing them is housekeeping: a file that
// cannot be written just now (another clerk's lock past the wait, read-only, full) leaves them to
// the next time, without a word. Other failures throw.
#include <string>

#include "host/Session.h"

namespace storeadjust {

void RemoveHeadersWithoutLines(Session& session, const std::string& fromWhere);

}  // namespace storeadjust
