#include "qt/ModuleViews.h"

#include "qt/BrowserView.h"
#include "qt/EditorView.h"
#include "qt/StockDistributionView.h"

namespace storeadjust::qt {

void RegisterModuleViews() {
  RegisterBrowserView();
  RegisterEditorView();
  RegisterStockDistributionView();
}

}  // namespace storeadjust::qt
