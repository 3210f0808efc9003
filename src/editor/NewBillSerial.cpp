// A new bill's serial: built when the bill is started, the counter moved once its first line is
// stored. The numbering itself is the line store's.
#include "editor/FrmStoreAdjuctBill.h"
#include "lines/BillNumbering.h"

namespace storeadjust {

void FrmStoreAdjuctBill::GetNewLSH() { lsh_ = PreparedSerial(session_); }

void FrmStoreAdjuctBill::AddNewLSH() { AdvanceSerialCounter(session_); }

}  // namespace storeadjust
