#pragma once
// The configurable list statements kept in GLSelect, fetched by their name (FDH). A template may
// hold the placeholders "[操作人员编号]" (the operator code, written as a quoted text value) and
// "[选择条件]" (the caller's extra condition: empty, or text that begins with "and").
// Templates that take further placeholders are completed by their owners after this call.
#include <string>

#include "host/Session.h"

namespace storeadjust {

// Every occurrence of placeholder in text replaced by value.
std::string ReplaceAll(std::string text, const std::string& placeholder, const std::string& value);

// The template named key with the operator code filled in; defaultSql when the template is
// missing or empty; then "[选择条件]" replaced by condition. A failed read has shown its
// message (GetFieldValue) and yields the default.
std::string LoadSelectTemplate(Session& session, const std::string& key, const std::string& defaultSql,
                               const std::string& condition);

}  // namespace storeadjust
