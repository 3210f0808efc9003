#include "browse/FrmStoreAdjuctBillBrow.h"

namespace storeadjust {

void FrmStoreAdjuctBillBrow::PrintMarkedBills() {}
void FrmStoreAdjuctBillBrow::PreviewMarkedBills() {}
void FrmStoreAdjuctBillBrow::ReprintBills() {}

}  // namespace storeadjust
