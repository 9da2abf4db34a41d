// The getVisible callbacks: whether an element of the Classic tab shows in the current
// context. Each asks the host afresh on every call and keeps nothing. Every host question of a
// rule is asked on every call, in the rule's order, even when an earlier answer already decides
// (Access is asked the same number of times whatever it answers). A refusal by the host
// propagates: a rule never answers False for a host that did not answer.
#pragma once

#include "host.h"

#include <optional>
#include <span>
#include <string_view>

namespace pellwyn {

bool VisibleFormOrReport(Host& host);  // a form or report in Design view
bool VisibleTable0(Host& host);        // a table in Design view
bool VisibleQuery0(Host& host);        // a query in Design view
bool VisibleText(Host& host);          // a form or report in Design view, or any datasheet
bool VisibleDatasheet(Host& host);     // any datasheet
bool VisibleEdit(Host& host);          // always (the object type is still read)
bool VisibleView(Host& host);          // always (the object type is still read)
bool VisibleInsert(Host& host);        // any of the six kinds of object
bool VisibleFormat(Host& host);        // a table, report or form
bool VisibleQuery(Host& host);         // a query
bool VisibleRecords(Host& host);       // a table or query

struct VisibilityRule {
    std::string_view callback;  // the name the markup gives Access
    bool (*visible)(Host&);
};
std::span<const VisibilityRule> VisibilityRules();
// The rule Access calls by that name, compared without regard to case.
const VisibilityRule* FindVisibilityRule(std::string_view callback);

}  // namespace pellwyn
