#include "editor/FrmStoreAdjuctBill.h"

namespace storeadjust {

void FrmStoreAdjuctBill::Cmd_Print_Click() {}

void FrmStoreAdjuctBill::Reprint() {}

}  // namespace storeadjust
