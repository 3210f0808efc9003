#pragma once
// The browser's list query: a GLSelect template (or its built-in default) per layout, with the
// operator code and the data-scope condition filled in. Layout 1 lists the two-step flow (audit
// and confirm columns), layout 2 the one-step flow (one audit column).
#include <string>

#include "host/BoundSql.h"

namespace storeadjust {

enum class BrowserLayout { TwoStep = 1, OneStep = 2 };

// The template names in GLSelect.FDH.
const char* BrowserTemplateName(BrowserLayout layout);
// The built-in query used when GLSelect has no template for the layout.
const std::string& DefaultBrowserTemplate(BrowserLayout layout);

// The template with every "[操作人员编号]" replaced by the operator code, quote-doubled so a
// template that writes it between quotes stays one literal (SubstituteTemplateValue); the
// default when the result is empty.
std::string CompleteBrowserTemplate(const std::string& stored, const std::string& optCode, BrowserLayout layout);

// The template with "[选择条件]" replaced by the data-scope filter: nothing for an empty filter,
// else the filter between three (layout 1) or two (layout 2) leading blanks and one trailing one.
// The filter's values go with the query. A template without "[选择条件]" gives way to the
// built-in default when there is a filter to apply.
BoundSql BuildBrowserListQuery(const std::string& completedTemplate, const BoundSql& filter, BrowserLayout layout);

}  // namespace storeadjust
