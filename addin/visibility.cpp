#include "visibility.h"

#include "callbacks.h"
#include "settings_store.h"

namespace pellwyn {
namespace {

bool DesignView(Host& h) { return h.IsPressed(kDesignViewButton); }
bool DatasheetView(Host& h) { return h.IsPressed(kDatasheetViewButton); }

// The object type read twice, once for each comparison, as the rules have always done.
bool FormOrReport(Host& h) {
    const bool form = h.CurrentObjectType() == kAcForm;
    const bool report = h.CurrentObjectType() == kAcReport;
    return form || report;
}

constexpr VisibilityRule kRules[] = {
    {kFormOrReport, &VisibleFormOrReport},
    {kTable0, &VisibleTable0},
    {kQuery0, &VisibleQuery0},
    {kText, &VisibleText},
    {kDatasheet, &VisibleDatasheet},
    {"OnGetVisibleEdit", &VisibleEdit},
    {"OnGetVisibleView", &VisibleView},
    {"OnGetVisibleInsert", &VisibleInsert},
    {"OnGetVisibleFormat", &VisibleFormat},
    {"OnGetVisibleQuery", &VisibleQuery},
    {"OnGetVisibleRecords", &VisibleRecords},
};

}  // namespace

// Every operand is evaluated into a local before it is combined, so no host question is
// skipped by && or || short-circuiting.
bool VisibleFormOrReport(Host& h) {
    const bool formOrReport = FormOrReport(h);
    const bool design = DesignView(h);
    return formOrReport && design;
}

bool VisibleTable0(Host& h) {
    const bool table = h.CurrentObjectType() == kAcTable;
    const bool design = DesignView(h);
    return table && design;
}

bool VisibleQuery0(Host& h) {
    const bool query = h.CurrentObjectType() == kAcQuery;
    const bool design = DesignView(h);
    return query && design;
}

bool VisibleText(Host& h) {
    const bool formOrReport = FormOrReport(h);
    const bool design = DesignView(h);
    const bool datasheet = DatasheetView(h);
    return (formOrReport && design) || datasheet;
}

bool VisibleDatasheet(Host& h) { return DatasheetView(h); }

bool VisibleEdit(Host& h) {
    (void)h.CurrentObjectType();
    return true;
}

bool VisibleView(Host& h) {
    (void)h.CurrentObjectType();
    return true;
}

bool VisibleInsert(Host& h) {
    const std::int32_t t = h.CurrentObjectType();
    return t == kAcTable || t == kAcReport || t == kAcQuery || t == kAcModule || t == kAcMacro || t == kAcForm;
}

bool VisibleFormat(Host& h) {
    const std::int32_t t = h.CurrentObjectType();
    return t == kAcTable || t == kAcReport || t == kAcForm;
}

bool VisibleQuery(Host& h) { return h.CurrentObjectType() == kAcQuery; }

bool VisibleRecords(Host& h) {
    const std::int32_t t = h.CurrentObjectType();
    return t == kAcTable || t == kAcQuery;
}

std::span<const VisibilityRule> VisibilityRules() { return kRules; }

const VisibilityRule* FindVisibilityRule(std::string_view callback) {
    for (const VisibilityRule& r : kRules)
        if (kestrel::EqualsIgnoreCase(r.callback, callback)) return &r;
    return nullptr;
}

}  // namespace pellwyn
