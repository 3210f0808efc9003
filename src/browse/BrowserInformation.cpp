#include "browse/FrmStoreAdjuctBillBrow.h"

namespace storeadjust {

void FrmStoreAdjuctBillBrow::ShowStockDistribution() {}
void FrmStoreAdjuctBillBrow::ExplainFinanceCode() {}
void FrmStoreAdjuctBillBrow::ShowAbout() {}

}  // namespace storeadjust
