#pragma once
// The configurable list statements kept in GLSelect, fetched by their name (FDH). A template may
// hold the placeholders "[操作人员编号]" (the operator code, which the template writes between its
// own quotes) and "[选择条件]" (the caller's extra condition: empty, or text that begins with
// "and", with ? marks for its values).
// Templates that take further placeholders are completed by their owners after this call.
#include <string>

#include "host/BoundSql.h"
#include "host/Session.h"

namespace storeadjust {

// Every occurrence of placeholder in text replaced by value.
std::string ReplaceAll(std::string text, const std::string& placeholder, const std::string& value);

// Every placeholder of a site's stored statement (a GLSelect template, the data-scope
// component's condition) replaced by the value with each of its quotes doubled, for a template
// that writes the placeholder between its own quotes. Stored statements are text the site
// wrote, so this is the one place where the module writes a value into statement text; every
// statement of the module's own binds its values as ? marks.
std::string SubstituteTemplateValue(std::string templateText, const std::string& placeholder,
                                    const std::string& value);

// The statement with every placeholder ("[选择条件]", "[Where条件]") replaced by the fragment's
// text, and the fragment's values put among the statement's own once per occurrence, where the
// occurrence stands among the statement's ? marks (a ? inside a quoted literal is no mark).
BoundSql FillPlaceholder(const BoundSql& statement, const std::string& placeholder, const BoundSql& fragment);

// FillPlaceholder of "[选择条件]" in a template that has no values of its own.
BoundSql FillSelectCondition(const std::string& templateText, const BoundSql& condition);

// The template named key with the operator code filled in; defaultSql when the template is
// missing or empty; then "[选择条件]" replaced by condition. A failed read has shown its
// message (GetFieldValue) and yields the default. The condition's ? marks keep their values
// with the caller.
std::string LoadSelectTemplate(Session& session, const std::string& key, const std::string& defaultSql,
                               const std::string& condition);

}  // namespace storeadjust
