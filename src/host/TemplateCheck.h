#pragma once
// The check a site runs before it moves to the embedded database: every statement it stores for
// the module (the GLSelect templates, and t_SystemProfile values that are statements) completed
// the way the module completes it, with neutral values, and put through the T-SQL translator
// only (nothing runs). What the translator refuses is listed with its reason.
#include <string>
#include <vector>

#include "adodb/Connection.h"

namespace storeadjust {

struct StoredTemplate {
  std::string origin;     // "GLSelect <FDH>" or "t_SystemProfile <FCategory>/<FKey>"
  std::string statement;  // as stored
};

struct TemplateRefusal {
  std::string origin;
  std::string reason;  // the translator's message
};

struct TemplateCheck {
  int checked = 0;
  std::vector<TemplateRefusal> refused;
};

// The statement the module would run for a stored template: a column-list template ('仓库调拨单',
// '仓库调拨单商品信息') inside its select, the placeholders filled with neutral values.
std::string CompletedForCheck(const std::string& name, const std::string& stored);

// Every stored statement of the database, in the order of their names. Throws adodb::Error when
// the tables cannot be read.
std::vector<StoredTemplate> ReadStoredTemplates(adodb::Connection& conn);

// Translates each template; the refused ones with the reason.
TemplateCheck CheckTemplates(const std::vector<StoredTemplate>& templates);

}  // namespace storeadjust
