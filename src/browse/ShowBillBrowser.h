#pragma once
// What Execute shows: the bill browser, created once for the session and run modally until the
// user closes it.
#include "host/Session.h"

namespace storeadjust {

void ShowBillBrowser(Session& session);

}  // namespace storeadjust
