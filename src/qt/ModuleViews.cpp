#include "qt/ModuleViews.h"

#include "qt/BrowserView.h"
#include "qt/EditorView.h"
#include "qt/StockDistributionView.h"
#include "qt/ReportView.h"

namespace storeadjust::qt {

void RegisterModuleViews() {
  RegisterBrowserView();
  RegisterEditorView();
  RegisterStockDistributionView();
  RegisterReportView();
}

}  // namespace storeadjust::qt
