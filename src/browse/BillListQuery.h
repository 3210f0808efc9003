#pragma once
// The browser's list query: a GLSelect template (or its built-in default) per layout, with the
// operator code and the data-scope condition filled in. Layout 1 lists the two-step flow (audit
// and confirm columns), layout 2 the one-step flow (one audit column).
#include <string>

#include "browse/BillListFind.h"
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

// The template with "[选择条件]" replaced by the data-scope filter and the clerk's find: nothing
// when neither narrows the list, else both between three (layout 1) or two (layout 2) leading
// blanks and one trailing one. Their values go with the query. The find names the header's
// columns by the name the template gives the header table where "[选择条件]" stands, so a
// template that also joins the lines (which have a bz, a lsh and both warehouses too) takes it.
// A template without "[选择条件]" gives way to the built-in default when there is something to
// narrow by.
BoundSql BuildBrowserListQuery(const std::string& completedTemplate, const BoundSql& filter, BrowserLayout layout,
                               const BillListFind& find = {});

}  // namespace storeadjust
