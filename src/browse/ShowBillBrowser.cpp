#include "browse/ShowBillBrowser.h"

#include "browse/FrmStoreAdjuctBillBrow.h"

namespace storeadjust {

void ShowBillBrowser(Session& session) {
  FrmStoreAdjuctBillBrow browser(session);
  ShowModal(*session.Ui, browser);
}

}  // namespace storeadjust
