#include "qt/WindowTitles.h"

#include "host/Session.h"

namespace storeadjust::qt {

namespace {

constexpr const char* kGap = "  ";

}  // namespace

QString OperatorText(const Session& session) {
  const QString code = QString::fromStdString(session.OptCode);
  if (session.OptName.empty()) return QStringLiteral("操作员: ") + code;
  return QStringLiteral("操作员: ") + QString::fromStdString(session.OptName) + "(" + code + ")";
}

QString BrowserTitle(const std::string& caption, const Session& session) {
  return QString::fromStdString(caption) + kGap + OperatorText(session);
}

QString EditorTitle(const std::string& caption, const std::string& serial, const Session& session) {
  std::string title = caption;
  if (!serial.empty() && caption.find(serial) == std::string::npos) title += " - " + serial;
  return QString::fromStdString(title) + kGap + OperatorText(session);
}

QString ReportTitle(const std::string& reportName, const Session* session) {
  QString title = QStringLiteral("报表");
  if (!reportName.empty()) title += QStringLiteral(": ") + QString::fromStdString(reportName);
  if (session != nullptr) title += kGap + OperatorText(*session);
  return title;
}

}  // namespace storeadjust::qt
