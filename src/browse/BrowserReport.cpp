#include "browse/FrmStoreAdjuctBillBrow.h"

namespace storeadjust {

void FrmStoreAdjuctBillBrow::BrowseReport() {}

}  // namespace storeadjust
