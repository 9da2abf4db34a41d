// The toolbar rows under the menu bar, and the three rows of the Controls group. Icon
// buttons are Access's own commands by idMso, shown without labels. Elements that fit only some
// contexts name the getVisible callback that shows and hides them; in the formatting row every
// top-level element does, so the row falls into segments that come and go as a whole.
#include "ribbon.h"

#include "callbacks.h"
#include "program.h"
#include "rows.h"
#include "tables.h"

namespace pellwyn {
namespace {

using namespace rows;

// clang-format off
// The standard row: new, open, save, printing, spelling, clipboard, undo, office links,
// database tools, the Insert and View icon menus, then sorting, filtering and records.
constexpr Row kStandardRow[] = {
    Text("<box id=\"boxNew2\" boxStyle=\"horizontal\">"),
        OpenButtonGroup(),
            AppendIconControl("FileNewDatabase"),
            AppendIconControl("FileOpenDatabase"),
            AppendIconControl("FileSave"),
        CloseButtonGroup(),
        AppendSpacer(" "),
        OpenButtonGroup(),
            AppendIconControl("PrintDialogAccess"),
            AppendIconControl("FilePrintPreview"),
            OpenMenu("", "PageSetupDialog", "Page Layout"),
                AppendControl("PageSizeGallery", "Size"),
                AppendControl("PageOrientationPortrait", "Portrait"),
                AppendControl("PageOrientationLandscape", "Landscape"),
                AppendControl("PageMarginsGallery", "Margins"),
                AppendControl("ShowMargins", "Show Margins"),
                AppendControl("PrintDataOnly", "Print Data Only"),
                AppendControl("PrintColumns", "Columns"),
            CloseMenu(),
            AppendIconControl("SpellingAccess"),
        CloseButtonGroup(),
        AppendSpacer(" "),
        OpenButtonGroup(),
            AppendIconControl("Cut"),
            AppendIconControl("Copy"),
            AppendIconControl("PasteSpecial"),
            AppendIconControl("FormatPainter"),
        CloseButtonGroup(),
        AppendSpacer(" "),
        OpenButtonGroup(),
            AppendIconControl("Undo"),
            AppendIconControl("Redo"),
        CloseButtonGroup(),
        AppendSpacer(" "),
        OpenButtonGroup(),
            OpenMenu("", "MergeToWord", "Office Links"),
                AppendControl("MergeToWord", "Merge it with Microsoft Office Word"),
                AppendControl("ExportExcel", "Analyze it with Microsoft Office Excel"),
            CloseMenu(),
            AppendIconControl("DatabaseAnalyzeTable"),
        CloseButtonGroup(),
        AppendSpacer(" "),
        OpenButtonGroup(),
            AppendIconControl("ViewVisualBasicCodeAccess"),
            AppendIconControl("PropertySheet"),
            AppendIconControl("DatabaseRelationships"),
        CloseButtonGroup(),
        AppendSpacer(" "),
        OpenButtonGroup(),
            OpenMenu("", "CreateModule", "Insert"),
                OpenMenu("Tables"),
                    AppendControl("CreateTable", "Table"),
                    AppendControl("CreateTableTemplatesGallery", "Table Templates"),
                    AppendControl("CreateTableUsingSharePointListsGallery", "SharePoint Lists"),
                    AppendControl("CreateTableInDesignView", "Table Design"),
                CloseMenu(),
                OpenMenu("Query"),
                    AppendControl("CreateQueryFromWizard", "Query Wizard"),
                    AppendControl("CreateQueryInDesignView", "Query Design"),
                CloseMenu(),
                OpenMenu("Forms"),
                    AppendControl("CreateForm", "AutoForm"),
                    AppendMenuSeparator(),
                    AppendControl("CreateFormSplitForm", "Split Form"),
                    AppendControl("CreateFormWithMultipleItems", "Multiple Items"),
                    AppendControl("CreateFormPivotChart", "Pivot Chart"),
                    AppendControl("CreateFormBlankForm", "Blank Form"),
                    AppendControl("CreateFormMoreFormsGallery", "More Forms"),
                    AppendControl("CreateFormInDesignView", "Form Design"),
                CloseMenu(),
                OpenMenu("Reports"),
                    AppendControl("CreateReport", "AutoReport"),
                    AppendMenuSeparator(),
                    AppendControl("CreateLabels", "Labels"),
                    AppendControl("CreateReportBlankReport", "Blank Report"),
                    AppendControl("CreateReportFromWizard", "Report Wizard"),
                    AppendControl("CreateReportInDesignView", "Report Design"),
                CloseMenu(),
                AppendControl("CreateMacro", "Macro"),
                AppendControl("CreateModule", "Module"),
                AppendControl("CreateClassModule", "Class Module"),
                AppendMenuSeparator(),
                AppendControl("GoToNewRecord", "New Record"),
                AppendMenuSeparator(),
                AppendControl("QueryInsertColumn", "Insert Columns"),
                AppendControl("DatasheetColumnLookup", "LookUp Column"),
                AppendMenuSeparator(),
                AppendControl("RecordsInsertSubdatasheet", "Subdatasheet"),
            CloseMenu(),
            OpenMenu("", "ViewsDesignView", "View"),
                AppendControl("ViewsDesignView", "Design View"),
                AppendControl("ViewsDatasheetView", "Datasheet View"),
                AppendControl("ViewsPivotTableView", "PivotTable View"),
                AppendControl("ViewsPivotChartView", "PivotChart View"),
                AppendControl("ViewsFormView", "Form View"),
                AppendControl("ViewsReportView", "Report View"),
                AppendControl("ViewsAdpDiagramPrintPreviewView", "Print Preview"),
                AppendControl("ViewsLayoutViewView", "Layout View"),
            CloseMenu(),
        CloseButtonGroup(),
        OpenButtonGroup(kFormOrReport),
            AppendIconControl("FieldList", kFormOrReport),
            AppendIconControl("GridlinesGallery", kFormOrReport),
        CloseButtonGroup(),
        OpenButtonGroup(kDatasheet),
            AppendIconControl("SortUp", kDatasheet),
            AppendIconControl("SortDown", kDatasheet),
        CloseButtonGroup(),
        OpenButtonGroup(kDatasheet),
            AppendIconControl("FilterAdvancedByForm", kDatasheet),
            AppendIconControl("FilterBySelection", kDatasheet),
            AppendIconControl("ApplyFilter", kDatasheet),
        CloseButtonGroup(),
        OpenButtonGroup(kDatasheet),
            AppendIconControl("FindDialog", kDatasheet),
            AppendIconControl("GoToNewRecord", kDatasheet),
            AppendIconControl("RecordsDeleteRecord", kDatasheet),
        CloseButtonGroup(),
    Text("</box>"),
};

// The formatting row: auto-format, font and alignment, lines, table design, datasheet
// formatting, query design.
constexpr Row kFormattingRow[] = {
    Text("<box id=\"boxNew3\" boxStyle=\"horizontal\">"),
        OpenButtonGroup(kFormOrReport),
            AppendIconControl("AutoFormatGallery", kFormOrReport),
        CloseButtonGroup(),
        AppendComboBox("Font", kText),
        AppendComboBox("FontSize", kText),
        AppendSpacer(" ", kText),
        OpenButtonGroup(kText),
            AppendIconControl("Bold", kText),
            AppendIconControl("Italic", kText),
            AppendIconControl("Underline", kText),
            AppendIconControl("AlignLeft", kText),
            AppendIconControl("AlignCenter", kText),
            AppendIconControl("AlignRight", kText),
            AppendIconControl("FontFillBackColorPicker", kText),
            AppendIconControl("FontColorPicker", kText),
            AppendIconControl("FontAlternateFillBackColorPicker", kText),
        CloseButtonGroup(),
        AppendSpacer(" ", kText),
        OpenButtonGroup(kFormOrReport),
            AppendIconControl("ControlLineFicknessGallery", kFormOrReport),
            AppendIconControl("ControlLineTypeGallery", kFormOrReport),
            AppendIconControl("ControlLineColorPicker", kFormOrReport),
            AppendIconControl("ControlSpecialEffectFlat", kFormOrReport),
        CloseButtonGroup(),
        AppendSpacer(" ", kFormOrReport),
        OpenButtonGroup(kTable0),
            AppendIconControl("AdpPrimaryKey", kTable0),
            AppendIconControl("TableIndexes", kTable0),
        CloseButtonGroup(),
        AppendSpacer(" ", kTable0),
        OpenButtonGroup(kTable0),
            AppendIconControl("TableRowsInsertWord", kTable0),
            AppendIconControl("DatasheetColumnLookup", kTable0),
            AppendIconControl("TableRowsDelete", kTable0),
        CloseButtonGroup(),
        AppendSpacer(" ", kTable0),
        OpenButtonGroup(kTable0),
            AppendIconControl("PropertySheet", kTable0),
            AppendIconControl("QueryBuilder", kTable0),
        CloseButtonGroup(),
        AppendSpacer(" ", kTable0),
        OpenButtonGroup(kTable0),
            AppendIconControl("TableTestValidationRules", kTable0),
        CloseButtonGroup(),
        AppendSpacer(" ", kTable0),
        OpenButtonGroup(kDatasheet),
            AppendIconControl("GridlinesGallery", kDatasheet),
            AppendIconControl("FormatCellsDialog", kDatasheet),
        CloseButtonGroup(),
        AppendSpacer(" ", kDatasheet),
        AppendComboBox("FormattingDataType", kDatasheet),
        AppendComboBox("FormattingFormat", kDatasheet),
        OpenButtonGroup(kDatasheet),
            AppendIconControl("ApplyCurrencyFormat", kDatasheet),
            AppendIconControl("ApplyCommaFormat", kDatasheet),
            AppendIconControl("FormattingIncreaseDecimals", kDatasheet),
            AppendIconControl("FormattingDecreaseDecimals", kDatasheet),
        CloseButtonGroup(),
        AppendSpacer(" ", kDatasheet),
        AppendComboBox("QueryReturnGallery", kQuery0),
        OpenButtonGroup(kQuery0),
            AppendIconControl("TableRowsInsertWord", kQuery0),
            AppendIconControl("TableRowsDelete", kQuery0),
            AppendIconControl("QueryInsertColumns", kQuery0),
            AppendIconControl("TableColumnsDelete", kQuery0),
        CloseButtonGroup(),
        AppendSpacer(" ", kQuery0),
        OpenButtonGroup(kQuery0),
            OpenMenu("", "QuerySelectQueryType", "Query Type", kQuery0),
                AppendControl("QuerySelectQueryType", "Select"),
                AppendControl("QueryCrosstab", "Crosstab"),
                AppendControl("QueryMakeTable", "Make Table"),
                AppendControl("QueryUpdate", "Update"),
                AppendControl("QueryAppend", "Append"),
                AppendControl("QueryDelete", "Delete"),
                AppendMenuSeparator(),
                AppendControl("QueryUnionQuery", "Union"),
                AppendControl("QuerySqlPassThroughQuery", "Pass-Through"),
                AppendControl("QueryDataDefinition", "Data Definition"),
            CloseMenu(),
            AppendIconControl("QueryRunQuery", kQuery0),
        CloseButtonGroup(),
        AppendSpacer(" ", kQuery0),
        OpenButtonGroup(kQuery0),
            AppendIconControl("QueryShowTable", kQuery0),
            AppendIconControl("QueryTotalsShowHide", kQuery0),
            AppendIconControl("QueryBuilder", kQuery0),
        CloseButtonGroup(),
    Text("</box>"),
};

// The Controls group: three rows of seven form and report design controls. The first control
// of each row keeps its label; the other six are icons.
constexpr Row kControlsRow1[] = {
    Text("<box id=\"boxNew01\" boxStyle=\"horizontal\">"),
        OpenButtonGroup(),
            AppendControl("FormControlEditBox", "Text Box"),
            AppendIconControl("FormControlComboBox"),
            AppendIconControl("ControlLine"),
            AppendIconControl("FormControlGroupBox"),
            AppendIconControl("ControlToggleButton"),
            AppendIconControl("ControlChart"),
            AppendIconControl("PageBreakInsertOrRemove"),
        CloseButtonGroup(),
    Text("</box>"),
};

constexpr Row kControlsRow2[] = {
    Text("<box id=\"boxNew02\" boxStyle=\"horizontal\">"),
        OpenButtonGroup(),
            AppendControl("FormControlLabel", "Label"),
            AppendIconControl("FormControlListBox"),
            AppendIconControl("ControlRectangle"),
            AppendIconControl("FormControlCheckBox"),
            AppendIconControl("ControlTabControl"),
            AppendIconControl("ControlUnboundObjectFrame"),
            AppendIconControl("HyperlinkInsert"),
        CloseButtonGroup(),
    Text("</box>"),
};

constexpr Row kControlsRow3[] = {
    Text("<box id=\"boxNew03\" boxStyle=\"horizontal\">"),
        OpenButtonGroup(),
            AppendControl("FormControlButton", "Button"),
            AppendIconControl("ControlSubFormReport"),
            AppendIconControl("ControlBoundObjectFrame"),
            AppendIconControl("FormControlRadioButton"),
            AppendIconControl("ControlPage"),
            AppendIconControl("ControlImage"),
            AppendIconControl("ControlAttachment"),
        CloseButtonGroup(),
    Text("</box>"),
};
// clang-format on

// The rows depend on no bar mode: they close no top-level menu and hold no dynamic menu.
constexpr std::span<const Row> kStandard[] = {kStandardRow};
constexpr std::span<const Row> kFormatting[] = {kFormattingRow};
constexpr std::span<const Row> kControls1[] = {kControlsRow1};
constexpr std::span<const Row> kControls2[] = {kControlsRow2};
constexpr std::span<const Row> kControls3[] = {kControlsRow3};
constexpr auto kStandardProgram = Compile<kStandard, kBarOnTab>();
constexpr auto kFormattingProgram = Compile<kFormatting, kBarOnTab>();
constexpr auto kControls1Program = Compile<kControls1, kBarOnTab>();
constexpr auto kControls2Program = Compile<kControls2, kBarOnTab>();
constexpr auto kControls3Program = Compile<kControls3, kBarOnTab>();

}  // namespace

std::span<const Row> StandardRowTable() { return kStandardRow; }
std::span<const Row> FormattingRowTable() { return kFormattingRow; }
std::span<const Row> ControlsRowTable(int row) {
    return row == 1 ? std::span<const Row>(kControlsRow1) : row == 2 ? kControlsRow2 : kControlsRow3;
}

void AppendStandardRow(Markup& markup) { Run(markup, kStandardProgram); }
void AppendFormattingRow(Markup& markup) { Run(markup, kFormattingProgram); }
void AppendControlsRow1(Markup& markup) { Run(markup, kControls1Program); }
void AppendControlsRow2(Markup& markup) { Run(markup, kControls2Program); }
void AppendControlsRow3(Markup& markup) { Run(markup, kControls3Program); }

}  // namespace pellwyn
