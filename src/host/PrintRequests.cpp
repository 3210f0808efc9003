#include "host/PrintRequests.h"

#include "host/Rights.h"

namespace storeadjust {

PrintRequest MakePrintRequest(const Session& session, const std::string& headerTable, const std::string& lineTable,
                              const std::string& serials, bool preview) {
  PrintRequest request;
  request.connection = session.Conn;
  request.modeFlag = true;
  request.textParameters.assign(6, std::string());
  request.textParameters[0] = headerTable;
  request.textParameters[1] = lineTable;
  request.textParameters[5] = session.OptCode;
  request.operatorCode = session.OptCode;
  request.billKind = kTransferBillKind;
  request.serials = serials;
  request.preview = preview;
  return request;
}

ReprintRequest MakeReprintRequest(Session& session) {
  ReprintRequest request;
  request.category = session.Category;
  request.commandTimeout = session.CommandTimeout;
  request.connectionString = session.ConnStr;
  request.operatorCode = session.OptCode;
  request.operatorName = session.OptName;
  request.sysDate = session.SysDate.ToText();
  request.start = kReprintStartCode;
  request.dataScope = GetDataScopeFilter(session);
  return request;
}

}  // namespace storeadjust
