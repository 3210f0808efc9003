#include "qt/FormViewRegistry.h"

#include <map>

#include "qt/FormView.h"

namespace storeadjust::qt {

namespace {

std::map<std::string, FormViewFactory>& Registry() {
  static std::map<std::string, FormViewFactory> registry;
  return registry;
}

}  // namespace

void RegisterFormView(const std::string& formName, FormViewFactory factory) {
  if (factory) {
    Registry()[formName] = std::move(factory);
  } else {
    Registry().erase(formName);
  }
}

const FormViewFactory* FindFormView(const std::string& formName) {
  auto it = Registry().find(formName);
  return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace storeadjust::qt
