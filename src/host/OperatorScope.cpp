#include "host/OperatorScope.h"

#include "host/DataScopeProvider.h"

namespace storeadjust {

std::string OperatorScopeCondition(Session& session, const std::string& column, const std::string& scopeCode) {
  auto provider = CreateDataScopeProvider();
  return provider->GetScopeCondition(session.ConnStr, column, session.OptGuid, session.OptCode, scopeCode);
}

}  // namespace storeadjust
