#include "qt/PrintComponent.h"

#include "adodb/Error.h"
#include "host/BillSlip.h"
#include "qt/SlipPrinting.h"

namespace storeadjust::qt {

QString PrintComponent::Print(const PrintRequest& request) {
  if (!request.connection) throw adodb::Error::Closed();
  const auto& parameters = request.textParameters;
  const SlipReader read = [&] {
    return ReadBillSlips(*request.connection, parameters.size() > 0 ? parameters[0] : std::string(),
                         parameters.size() > 1 ? parameters[1] : std::string(), SplitSerials(request.serials));
  };
  return request.preview ? PreviewSlips(read, parent_) : PrintSlipsWithDialog(read, parent_);
}

}  // namespace storeadjust::qt
