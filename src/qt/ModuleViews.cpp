#include "qt/ModuleViews.h"

#include "qt/BrowserView.h"
#include "qt/EditorView.h"

namespace storeadjust::qt {

void RegisterModuleViews() {
  RegisterBrowserView();
  RegisterEditorView();
}

}  // namespace storeadjust::qt
