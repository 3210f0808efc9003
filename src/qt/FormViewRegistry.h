#pragma once
// Which window shows which screen: each screen's view registers a factory under the form's
// name (FormModel::Name()); the desktop's RunModal looks it up. Registration happens once at
// start-up, on the user-interface thread.
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace storeadjust {
class FormModel;
}

namespace storeadjust::qt {

class FormView;

using FormViewFactory = std::function<std::unique_ptr<FormView>(FormModel& form, QWidget* parent)>;

// A later registration under the same name replaces the earlier one; an empty factory removes it.
void RegisterFormView(const std::string& formName, FormViewFactory factory);
// Null when no view is registered under the name.
const FormViewFactory* FindFormView(const std::string& formName);

}  // namespace storeadjust::qt
