#pragma once
// The titles of the module's windows on the desktop: the screen's own Caption, followed by the
// operator at work, so that with several sessions open a clerk sees whose window is whose and,
// in the editor, which bill it holds. The Caption itself stays the model's (scripts check it).
#include <QString>
#include <string>

namespace storeadjust {
struct Session;
}

namespace storeadjust::qt {

// "操作员: 系统管理员(001)"; the code alone when the session has no name.
QString OperatorText(const Session& session);

// "仓库调拨单--浏览  操作员: 系统管理员(001)".
QString BrowserTitle(const std::string& caption, const Session& session);

// "仓库调拨单 - DBD202403050005  操作员: 系统管理员(001)": the serial is named once, whether or not
// the caption carries it already.
QString EditorTitle(const std::string& caption, const std::string& serial, const Session& session);

// "报表: 仓库调拨单--浏览  操作员: 系统管理员(001)": a report opened from the browser carries the
// browser's name, so the prefix tells the two windows apart. Without a session, no operator.
QString ReportTitle(const std::string& reportName, const Session* session);

}  // namespace storeadjust::qt
