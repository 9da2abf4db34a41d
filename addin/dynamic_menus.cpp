#include "dynamic_menus.h"

#include "rows.h"
#include "settings_store.h"

#include <cstdint>
#include <span>

namespace pellwyn {
namespace {

using namespace rows;

// One bit per kind of object; a row lists the kinds whose menu holds it, like the crosses of
// a table with one column per object type.
enum Column : int { kTableColumn, kQueryColumn, kFormColumn, kReportColumn, kMacroColumn, kModuleColumn, kOtherColumn };
constexpr std::uint8_t Tbl = 1 << kTableColumn, Qry = 1 << kQueryColumn, Frm = 1 << kFormColumn,
                       Rpt = 1 << kReportColumn, Mac = 1 << kMacroColumn, Mod = 1 << kModuleColumn;
constexpr std::uint8_t Other = 1 << kOtherColumn;  // nothing current, or a kind without a menu of its own
constexpr std::uint8_t kAnyObject = Tbl | Qry | Frm | Rpt | Mac | Mod;
constexpr std::uint8_t kAll = kAnyObject | Other;

struct MenuRow {
    std::uint8_t in;
    Row row;
};

// clang-format off
// Edit: the clipboard and selection for everything; find, replace and field rules for a table.
constexpr MenuRow kEditMenu[] = {
    {kAll,               AppendControl("Undo")},
    {kAll,               AppendControl("Redo")},
    {kAll,               AppendMenuSeparator()},
    {kAll,               AppendControl("Cut", "Cut")},
    {kAll,               AppendControl("Copy", "Copy")},
    {kAll,               AppendControl("ShowClipboard", "Office Clipboard …")},
    {kAll,               AppendControl("PasteSpecial", "Paste")},
    {kAll,               AppendMenuSeparator()},
    {kAll,               AppendControl("CreateShortCutMenuFromMacro", "Create ShortCut…")},
    {kAll,               AppendControl("ClearMenuAccess", "Delete")},
    {Tbl,                AppendControl("DatasheetColumnDelete", "Delete")},
    {Qry,                AppendControl("ClearGrid", "Clear Grid")},
    {kAll,               AppendControl("SelectMenuAccess", "Select")},
    {kAll,               AppendControl("SelectAllAccess", "Select All")},
    {Tbl|Mac|Mod|Other,  AppendControl("DatasheetColumnRename", "Rename")},
    {Tbl|Mac|Mod|Other,  AppendMenuSeparator()},
    {Tbl,                AppendControl("FindDialog", "Find…")},
    {Tbl,                AppendControl("FindNext", "Find Next")},
    {Tbl,                AppendControl("ReplaceDialog", "Replace")},
    {Tbl,                AppendControl("GoToMenuAccess", "Go To")},
    {Tbl,                AppendMenuSeparator()},
    {Tbl,                AppendControl("FormattingUnique", "Unique")},
    {Tbl,                AppendControl("FormattingRequiredField", "Is Required")},
    {Tbl,                AppendMenuSeparator()},
    {kAll,               AppendControl("OleDdeLinks", "Ole /DDE Links")},
};

// View: the views of the object, its design toggles, and the general windows.
constexpr MenuRow kViewMenu[] = {
    {Tbl|Qry|Frm|Rpt,    AppendControl("ViewsDesignView", "Design View")},
    {Frm,                AppendControl("ViewsFormView", "Form View")},
    {Qry,                AppendControl("ViewsAdpDiagramSqlView", "SQL View")},
    {Tbl|Qry|Frm,        AppendControl("ViewsDatasheetView", "Datasheet View")},
    {Tbl|Qry|Frm,        AppendControl("ViewsPivotTableView", "PivotTable View")},
    {Tbl|Qry|Frm,        AppendControl("ViewsPivotChartView", "PivotChart View")},
    {Rpt,                AppendControl("ViewsReportView", "Report View")},
    {Rpt,                AppendControl("ViewsAdpDiagramPrintPreviewView", "Print Preview")},
    {Rpt,                AppendControl("ViewsLayoutViewView", "Layout View")},
    {Rpt,                AppendControl("SubformInNewWindow", "Subreport in New Window")},
    {Tbl|Qry|Frm|Rpt,    AppendMenuSeparator()},
    {Frm,                AppendControl("SubformInNewWindow", "Subform in New Window")},
    {Frm|Rpt,            AppendControl("First10RecordsPreview", "First 10 Records Preview")},
    {Qry,                AppendControl("QueryTotalsShowHide", "Totals")},
    {Qry,                AppendControl("QueryTableNamesShowHide", "Table Names")},
    {Qry|Frm|Rpt,        AppendMenuSeparator()},
    {kAll,               AppendControl("PropertySheet", "Property Sheet")},
    {kAll,               AppendControl("ViewVisualBasicCodeAccess", "View Code")},
    {kAll,               AppendControl("DatabaseObjectDependencies", "Object Dependencies")},
    {kAll,               AppendControl("ViewMessageBar", "Message Bar")},
    {kAll,               AppendMenuSeparator()},
    {Tbl,                AppendControl("DatasheetNewField", "New Field")},
    {kAll,               AppendControl("FieldList", "Add Existing Fields")},
    {Frm|Rpt,            AppendControl("TabOrder", "Tab Order…")},
    {Frm|Rpt,            AppendMenuSeparator()},
    {Frm|Rpt,            AppendControl("RulerShowHide", "Ruler")},
    {Frm|Rpt,            AppendControl("GridShowHide", "Grid")},
    {Frm|Rpt,            AppendControl("PageHeaderOrFooterShowHide", "Page Header/Footer")},
    {Frm,                AppendControl("FormHeaderOrFooterShowHide", "Form Header/Footer")},
    {Rpt,                AppendControl("FormHeaderOrFooterShowHide", "Report Header/Footer")},
    {Rpt,                AppendMenuSeparator()},
    {Rpt,                AppendControl("Grouping", "Group and Sort")},
    {Rpt,                AppendControl("HideDetails", "Hide Details")},
};

// Insert: four submenus that create objects, then the insertions that fit the object.
// Nothing at all when no object of the six kinds is current.
constexpr MenuRow kInsertMenu[] = {
    {kAnyObject,         OpenSubmenu("Insert", "Tables")},
    {kAnyObject,             AppendControl("CreateTable", "Table")},
    {kAnyObject,             AppendControl("CreateTableTemplatesGallery", "Table Templates")},
    {kAnyObject,             AppendControl("CreateTableUsingSharePointListsGallery", "SharePoint Lists")},
    {kAnyObject,             AppendControl("CreateTableInDesignView", "Table Design")},
    {kAnyObject,         CloseMenu()},
    {kAnyObject,         OpenSubmenu("Insert", "Query")},
    {kAnyObject,             AppendControl("CreateQueryFromWizard", "Query Wizard")},
    {kAnyObject,             AppendControl("CreateQueryInDesignView", "Query Design")},
    {kAnyObject,         CloseMenu()},
    {kAnyObject,         OpenSubmenu("Insert", "Forms")},
    {kAnyObject,             AppendControl("CreateForm", "AutoForm")},
    {kAnyObject,             AppendMenuSeparator()},
    {kAnyObject,             AppendControl("CreateFormSplitForm", "Split Form")},
    {kAnyObject,             AppendControl("CreateFormWithMultipleItems", "Multiple Items")},
    {kAnyObject,             AppendControl("CreateFormPivotChart", "Pivot Chart")},
    {kAnyObject,             AppendControl("CreateFormBlankForm", "Blank Form")},
    {kAnyObject,             AppendControl("CreateFormMoreFormsGallery", "More Forms")},
    {kAnyObject,             AppendControl("CreateFormInDesignView", "Form Design")},
    {kAnyObject,         CloseMenu()},
    {kAnyObject,         OpenSubmenu("Insert", "Reports")},
    {kAnyObject,             AppendControl("CreateReport", "AutoReport")},
    {kAnyObject,             AppendMenuSeparator()},
    {kAnyObject,             AppendControl("CreateLabels", "Labels")},
    {kAnyObject,             AppendControl("CreateReportBlankReport", "Blank Report")},
    {kAnyObject,             AppendControl("CreateReportFromWizard", "Report Wizard")},
    {kAnyObject,             AppendControl("CreateReportInDesignView", "Report Design")},
    {kAnyObject,         CloseMenu()},
    {kAnyObject,         AppendControl("CreateMacro", "Macro")},
    {kAnyObject,         AppendControl("CreateModule", "Module")},
    {kAnyObject,         AppendControl("CreateClassModule", "Class Module")},
    {kAnyObject,         AppendMenuSeparator()},
    {Frm|Rpt,            AppendControl("ControlLogo", "Logo")},
    {Frm|Rpt,            AppendControl("ControlTitle", "Title")},
    {Frm|Rpt,            AppendControl("HeaderFooterPageNumbersInsert", "Page Numbers")},
    {Frm|Rpt,            AppendControl("DateAndTimeInsert", "Date and Time")},
    {Frm|Rpt,            AppendMenuSeparator()},
    {Frm|Rpt,            AppendControl("ControlChart", "Chart…")},
    {Frm|Rpt,            AppendMenuSeparator()},
    {Frm|Rpt,            AppendControl("ControlActiveX", "ActiveX controls")},
    {Frm|Rpt,            AppendMenuSeparator()},
    {Tbl,                AppendControl("GoToNewRecord", "New Record")},
    {Tbl,                AppendMenuSeparator()},
    {Tbl,                AppendControl("QueryInsertColumn", "Insert Columns")},
    {Tbl,                AppendControl("DatasheetColumnLookup", "LookUp Column")},
    {Tbl,                AppendMenuSeparator()},
    {Tbl,                AppendControl("RecordsInsertSubdatasheet", "Subdatasheet")},
    {Qry,                AppendControl("QueryInsertColumn", "Insert Columns")},
};

// Format: datasheet formatting for a table; layout of the design surface for a form or report.
constexpr MenuRow kFormatMenu[] = {
    {Tbl,                AppendControl("Font", "Font")},
    {Tbl,                AppendControl("FormatCellsDialog", "Datasheet…")},
    {Tbl,                AppendControl("RowHeight", "Row Height…")},
    {Tbl,                AppendControl("ColumnWidth", "Column Width…")},
    {Tbl,                AppendMenuSeparator()},
    {Tbl,                AppendControl("DatasheetColumnRename", "Rename")},
    {Tbl,                AppendControl("RecordsHideColumns", "Hide Columns")},
    {Tbl,                AppendControl("RecordsUnhideColumns", "Unhide Columns…")},
    {Tbl,                AppendControl("RecordsFreezeColumns", "Freeze")},
    {Tbl,                AppendControl("RecordsUnfreeze", "Unfreeze")},
    {Tbl,                AppendMenuSeparator()},
    {Tbl,                AppendControl("RecordsSubdatasheetMenu", "Subdatasheet")},
    {Tbl,                AppendMenuSeparator()},
    {Frm|Rpt,            AppendControl("AutoFormatGallery", "AutoFormat")},
    {Frm|Rpt,            AppendControl("FontConditionalFormatting", "Conditional")},
    {Frm|Rpt,            AppendControl("ControlSetControlDefaults", "Set Control Defaults")},
    {Frm|Rpt,            AppendControl("ControlSnapToGrid", "Snap to Grid")},
    {Frm|Rpt,            OpenSubmenu("Format", "Control Layout")},
    {Frm|Rpt,                AppendControl("ControlLayoutTabular", "Tabular")},
    {Frm|Rpt,                AppendControl("ControlLayoutStacked", "Stacked")},
    {Frm|Rpt,                AppendControl("ControlLayoutRemove", "Remove")},
    {Frm|Rpt,                AppendControl("ControlMarginsGallery", "Control Margins")},
    {Frm|Rpt,                AppendControl("ControlPaddingGallery", "Control Padding")},
    {Frm|Rpt,            CloseMenu()},
    {Frm|Rpt,            OpenSubmenu("Format", "Align")},
    {Frm|Rpt,                AppendControl("ObjectsAlignLeft", "Left")},
    {Frm|Rpt,                AppendControl("ObjectsAlignRight", "Right")},
    {Frm|Rpt,                AppendControl("ObjectsAlignTop", "Top")},
    {Frm|Rpt,                AppendControl("ObjectsAlignBottom", "Bottom")},
    {Frm|Rpt,                AppendControl("ControlAlignToGrid", "To Grid")},
    {Frm|Rpt,            CloseMenu()},
    {Frm|Rpt,            OpenSubmenu("Format", "Size")},
    {Frm|Rpt,                AppendControl("PositionAnchoringGallery", "Anchoring")},
    {Frm|Rpt,                AppendControl("SizeToFitAccess", "To Fit")},
    {Frm|Rpt,                AppendControl("SizeToGridAccess", "To Grid")},
    {Frm|Rpt,                AppendMenuSeparator()},
    {Frm|Rpt,                AppendControl("SizeToTallest", "To Tallest")},
    {Frm|Rpt,                AppendControl("SizeToShortest", "To Shortest")},
    {Frm|Rpt,                AppendMenuSeparator()},
    {Frm|Rpt,                AppendControl("SizeToWidest", "To Widest")},
    {Frm|Rpt,                AppendControl("SizeToNarrowest", "To Narrowest")},
    {Frm|Rpt,            CloseMenu()},
    {Frm|Rpt,            OpenSubmenu("Format", "Horizontal Spacing")},
    {Frm|Rpt,                AppendControl("HorizontalSpacingMakeEqual", "Equal Horizontal")},
    {Frm|Rpt,                AppendControl("HorizontalSpacingIncrease", "Increase Horizontal")},
    {Frm|Rpt,                AppendControl("HorizontalSpacingDecrease", "Decrease Horizontal")},
    {Frm|Rpt,            CloseMenu()},
    {Frm|Rpt,            OpenSubmenu("Format", "Vertical Spacing")},
    {Frm|Rpt,                AppendControl("VerticalSpacingMakeEqual", "Equal Vertical")},
    {Frm|Rpt,                AppendControl("VerticalSpacingIncrease", "Increase Vertical")},
    {Frm|Rpt,                AppendControl("VerticalSpacingDecrease", "Decrease Vertical")},
    {Frm|Rpt,            CloseMenu()},
    {Frm|Rpt,            AppendControl("ObjectsGroup", "Group")},
    {Frm|Rpt,            AppendControl("ObjectsUnGroup", "UnGroup")},
    {Frm|Rpt,            AppendMenuSeparator()},
    {Frm|Rpt,            AppendControl("ObjectBringToFront", "Bring to Front")},
    {Frm|Rpt,            AppendControl("ObjectSendToBack", "Send to Back")},
};

// Query: query design, for a query only.
constexpr MenuRow kQueryMenu[] = {
    {Qry,                AppendControl("QueryRunQuery", "Run")},
    {Qry,                AppendControl("QueryShowTable", "Show Table…")},
    {Qry,                AppendControl("RelationshipsHideTable", "Remove Table")},
    {Qry,                AppendMenuSeparator()},
    {Qry,                AppendControl("QuerySelectQueryType", "Select")},
    {Qry,                AppendControl("QueryCrosstab", "Crosstab")},
    {Qry,                AppendControl("QueryMakeTable", "Make Table")},
    {Qry,                AppendControl("QueryUpdate", "Update")},
    {Qry,                AppendControl("QueryAppend", "Append")},
    {Qry,                AppendControl("QueryDelete", "Delete")},
    {Qry,                AppendMenuSeparator()},
    {Qry,                AppendControl("QueryUnionQuery", "Union")},
    {Qry,                AppendControl("QuerySqlPassThroughQuery", "Pass-Through")},
    {Qry,                AppendControl("QueryDataDefinition", "Data Definition")},
    {Qry,                AppendMenuSeparator()},
    {Qry,                AppendControl("QueryParameters", "Parameters")},
};

// Records: filtering, sorting and saving records, for a table or a query.
constexpr MenuRow kRecordsMenu[] = {
    {Tbl|Qry,            OpenSubmenu("Records", "Filter")},
    {Tbl|Qry,                AppendControl("FilterAdvancedByForm", "Filter By Form")},
    {Tbl|Qry,                AppendControl("FilterBySelection", "Filter By Selection")},
    {Tbl|Qry,                AppendControl("FilterExcludingSelection", "Filter Excluding Selection")},
    {Tbl|Qry,                AppendControl("SortAndFilterAdvanced", "Advanced Filter-Sort")},
    {Tbl|Qry,                AppendMenuSeparator()},
    {Tbl|Qry,                AppendControl("FiltersMenu", "Filter")},
    {Tbl|Qry,                AppendControl("SortSelectionMenu", "Selection")},
    {Tbl|Qry,            CloseMenu()},
    {Tbl|Qry,            AppendControl("FilterToggleFilter", "Toggle Filter")},
    {Tbl|Qry,            AppendControl("FilterClearAllFilters", "Clear All Filters")},
    {Tbl|Qry,            AppendMenuSeparator()},
    {Tbl|Qry,            AppendControl("SortUp", "Ascending")},
    {Tbl|Qry,            AppendControl("SortDown", "Descending")},
    {Tbl|Qry,            AppendControl("SortRemoveAllSorts", "Remove Sort")},
    {Tbl|Qry,            AppendMenuSeparator()},
    {Tbl|Qry,            AppendControl("ApplyFilter", "Apply Filter/Sort")},
    {Tbl|Qry,            AppendControl("FilterAdvancedMenu", "Advanced")},
    {Tbl|Qry,            AppendMenuSeparator()},
    {Tbl|Qry,            AppendControl("PivotChartSortByTotalAscending", "Ascending by Total")},
    {Tbl|Qry,            AppendControl("PivotChartSortByTotalDescending", "Descending by Total")},
    {Tbl|Qry,            AppendMenuSeparator()},
    {Tbl|Qry,            AppendControl("RecordsSaveRecord", "Save")},
    {Tbl|Qry,            AppendControl("RecordsRefreshMenu", "Refresh All")},
    {Tbl|Qry,            AppendMenuSeparator()},
    {Tbl|Qry,            AppendControl("RecordsTotals", "Totals")},
    {Tbl|Qry,            AppendControl("RecordsAddFromOutlook", "Add From Outlook")},
    {Tbl|Qry,            AppendControl("RecordsSaveAsOutlookContact", "Save As Outlook Contact")},
    {Tbl|Qry,            AppendMenuSeparator()},
};

// clang-format on

struct MenuDef {
    DynamicMenu menu;
    std::string_view label;
    std::span<const MenuRow> rows;
};
constexpr MenuDef kMenus[] = {
    {DynamicMenu::Edit, "Edit", kEditMenu},       {DynamicMenu::View, "View", kViewMenu},
    {DynamicMenu::Insert, "Insert", kInsertMenu}, {DynamicMenu::Format, "Format", kFormatMenu},
    {DynamicMenu::Query, "Query", kQueryMenu},    {DynamicMenu::Records, "Records", kRecordsMenu},
};

const MenuDef& Def(DynamicMenu menu) { return kMenus[static_cast<int>(menu)]; }

// Compared in the order table, report, query, module, macro, form; anything else is Other.
Column ColumnOf(std::int32_t objectType) {
    if (objectType == kAcTable) return kTableColumn;
    if (objectType == kAcReport) return kReportColumn;
    if (objectType == kAcQuery) return kQueryColumn;
    if (objectType == kAcModule) return kModuleColumn;
    if (objectType == kAcMacro) return kMacroColumn;
    if (objectType == kAcForm) return kFormColumn;
    return kOtherColumn;
}

}  // namespace

std::string_view Label(DynamicMenu menu) { return Def(menu).label; }

std::optional<DynamicMenu> FindDynamicMenu(std::string_view label) {
    for (const MenuDef& def : kMenus)
        if (kestrel::EqualsIgnoreCase(def.label, label)) return def.menu;
    return std::nullopt;
}

namespace {

void OpenFragment(Markup& m) {
    m.xml.assign("<menu xmlns=\"");
    m.Append(kCustomUiNamespace);
    m.Append("\">");
}

// The object type, asked with the fragment opened (a refusal leaves just the opening tag),
// then what Access knows of the doubtful names and its language, if this connection has not
// asked yet. A host
// may call the add-in back while it answers, and a menu or document built meanwhile replaces
// the buffer: the fragment is opened afresh after the answers.
std::int32_t AskObjectType(Markup& m, Host& host) {
    OpenFragment(m);
    const std::int32_t type = host.CurrentObjectType();
    m.names.Learn(host);
    m.language.Learn(host);
    OpenFragment(m);
    return type;
}

}  // namespace

std::string_view GetContent(Markup& m, Host& host, DynamicMenu menu) {
    const std::uint8_t column = static_cast<std::uint8_t>(1 << ColumnOf(AskObjectType(m, host)));
    Emitter e(m, {});
    for (const MenuRow& r : Def(menu).rows)
        if (r.in & column) e.Emit(r.row);
    e.Finish();
    m.Append("</menu>");
    return m.xml;
}

}  // namespace pellwyn
