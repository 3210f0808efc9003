#include "qt/ReprintComponent.h"

#include "adodb/Error.h"
#include "browse/ReprintList.h"
#include "host/PrintRequests.h"
#include "qt/ReprintDialogView.h"

namespace storeadjust::qt {

void ReprintComponent::Start(const ReprintRequest& request) {
  if (request.start != kReprintStartCode) {
    throw adodb::Error(adodb::errnum::kArgumentOutOfRange,
                       "重打功能号无效: " + std::to_string(request.start), "ReprintComponent");
  }
  ReprintList list(request);
  list.Refresh();  // a list that cannot be read is the caller's to show, before any window opens
  ReprintDialogView dialog(list, parent_);
  dialog.exec();
}

}  // namespace storeadjust::qt
