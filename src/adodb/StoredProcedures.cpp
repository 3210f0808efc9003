#include "adodb/StoredProcedures.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "adodb/TextCompare.h"

namespace adodb {

namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, ProcedureHandler> handlers;  // by normalized name; nodes never move
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// "[dbo].[Name]", "dbo.Name" and "name" all name the same procedure.
std::string NormalizedName(const std::string& name) {
  std::string text;
  for (char c : name) {
    if (c == '[' || c == ']') continue;
    text.push_back(c);
  }
  text = LowerName(text);
  if (text.rfind("dbo.", 0) == 0) text.erase(0, 4);
  return text;
}

}  // namespace

void RegisterStoredProcedure(const std::string& name, ProcedureHandler handler) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  registry.handlers[NormalizedName(name)] = std::move(handler);
}

const ProcedureHandler* FindStoredProcedure(const std::string& name) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  const auto found = registry.handlers.find(NormalizedName(name));
  return found == registry.handlers.end() ? nullptr : &found->second;
}

}  // namespace adodb
