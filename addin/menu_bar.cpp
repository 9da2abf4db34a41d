// The classic menu bar: File, Edit, View, Insert, Format, Query, Records, Tools, Windows, Help.
// Edit to Records are dynamic: Access fills them at run time through their getContent
// callbacks. Every label and idMso is Access's own or the product's, copied letter for letter
// (odd spellings such as "SinhronizeData" included); "…" is the single character U+2026.
#include "ribbon.h"

#include "callbacks.h"
#include "rows.h"

#include <span>

namespace pellwyn {
namespace {

using namespace rows;

// clang-format off
constexpr Row kFileMenu[] = {
    OpenBarMenu("File"),
        AppendControl("FileNewDatabase", "New"),
        AppendControl("FileOpenDatabase", "Open"),
        OpenSubmenu("File", "Import"),
            AppendControl("ImportSavedImports", "Saved Imports"),
            AppendMenuSeparator(),
            AppendControl("ImportAccess", "Access"),
            AppendControl("ImportExcel", "Excel"),
            AppendControl("ImportSharePointList", "SharePoint List"),
            AppendControl("ImportTextFile", "Text File"),
            AppendControl("ImportXMLFile", "XML File"),
            AppendControl("FileServerLinkTables", "Link Tables"),
            AppendMenuSeparator(),
            AppendControl("ImportMoreMenu", "More"),
        CloseMenu(),
        OpenSubmenu("File", "Export"),
            AppendControl("ExportSavedExports", "Saved Exports"),
            AppendMenuSeparator(),
            AppendControl("ExportWord", "Word"),
            AppendControl("ExportExcel", "Excel"),
            AppendControl("ExportSharePointList", "SharePoint List"),
            AppendControl("ExportTextFile", "Text File"),
            AppendMenuSeparator(),
            AppendControl("ExportMoreMenu", "More"),
        CloseMenu(),
        AppendControl("FileCloseDatabase", "Close Database"),
        AppendMenuSeparator(),
        AppendControl("FileSave", "Save"),
        AppendControl("FileSaveAsMenuAccess", "Save As"),
        AppendControl("FileSaveAsAccess2002_2003", "Save As … Access 2002 - 2003 Database"),
        AppendControl("FileBackUpDatabase", "Back Up Database"),
        AppendMenuSeparator(),
        AppendControl("Revert", "Revert"),
        AppendMenuSeparator(),
        AppendControl("PageSetupDialog", "Page Setup…"),
        OpenSubmenu("File", "Page Layout"),
            AppendControl("PageSizeGallery", "Size"),
            AppendControl("PageOrientationPortrait", "Portrait"),
            AppendControl("PageOrientationLandscape", "Landscape"),
            AppendControl("PageMarginsGallery", "Margins"),
            AppendControl("ShowMargins", "Show Margins"),
            AppendControl("PrintDataOnly", "Print Data Only"),
            AppendControl("PrintColumns", "Columns"),
        CloseMenu(),
        AppendControl("FilePrintPreview", "Print Preview"),
        AppendControl("PrintDialogAccess", "Print"),
        AppendMenuSeparator(),
        AppendControl("FileSendAsAttachment", "E-mail"),
        AppendControl("MenuPublish", "Publish"),
        AppendControl("FileDatabaseProperties", "Database Properties…"),
        AppendMenuSeparator(),
        OpenSubmenu("File", "Collect data"),
            AppendControl("CreateEmail", "Create E-mail"),
            AppendControl("ManageReplies", "Manage Replies"),
        CloseMenu(),
        OpenSubmenu("File", "SharePoint Lists"),
            AppendControl("SinhronizeData", "Sinhronize"),
            AppendControl("SharePointListsWorkOffline", "Toggle Offline All"),
        CloseMenu(),
        AppendControl("FileExit", "Exit Access"),
    CloseTopMenu(),
};

// Each dynamic menu is named after its label: id "Dyna<label><n>", callbacks
// "OnGetContent<label>" and "OnGetVisible<label>".
constexpr Row kDynamicMenus[] = {
    AppendDynamicMenu("Edit"),
    AppendDynamicMenu("View"),
    AppendDynamicMenu("Insert"),
    AppendDynamicMenu("Format"),
    AppendDynamicMenu("Query"),
    AppendDynamicMenu("Records"),
};

constexpr Row kToolsMenu[] = {
    OpenBarMenu("Tools"),
        AppendControl("SpellingAccess", "Spelling…"),
        OpenSubmenu("Tools", "Office Links"),
            AppendControl("MergeToWord", "Merge it with Microsoft Office Word"),
            AppendControl("ExportExcel", "Analyze it with Microsoft Office Excel"),
        CloseMenu(),
        AppendMenuSeparator(),
        AppendControl("DatabaseRelationships", "Relationships"),
        OpenSubmenu("Tools", "Analyze"),
            AppendControl("DatabaseAnalyzeTable", "Analyze Table"),
            AppendControl("DatabaseAnalyzePerformance", "Analyze Performance"),
            AppendControl("DatabaseDocumenter", "Database Documenter"),
        CloseMenu(),
        OpenSubmenu("Tools", "Move Data"),
            AppendControl("DatabaseSQLServer", "SQL Server"),
            AppendControl("DatabaseAccessDatabaseSQLServer", "Access Database"),
        CloseMenu(),
        AppendMenuSeparator(),
        OpenSubmenu("Tools", "Database Utilities"),
            OpenSubmenu("Tools > Database Utilities", "Convert Database"),
                AppendControl("FileSaveAsAccess2000", "Access 2000 Database"),
                AppendControl("FileSaveAsAccess2002_2003", "Access 2002-2003 Database"),
            CloseMenu(),
            AppendControl("FileCompactAndRepairDatabase", "Compact and Repair Database"),
            AppendControl("FileBackUpDatabase", "Back Up Database"),
            AppendControl("FileServerMenu", "Server"),
            AppendMenuSeparator(),
            AppendControl("DatabaseLinkedTableManager", "Linked Table Manager"),
            AppendControl("DatabaseSwitchboardManager", "Switchboard Manager"),
            AppendMenuSeparator(),
            AppendControl("DatabaseMakeMdeFile", "Make MDE"),
        CloseMenu(),
        OpenSubmenu("Tools", "Security"),
            AppendControl("SetDatabasePassword", "Set Database Password…"),
            AppendMenuSeparator(),
            AppendControl("DatabasePermissionsMenu", "Workgroup Administrator…"),
            AppendControl("DatabasePermissions", "User and Group Permissions…"),
            AppendControl("DatabaseUserAndGroupAccounts", "User and Group Accounts…"),
            AppendControl("DatabaseUserLevelSecurityWizard", "User-Level Security Wizard…"),
            AppendMenuSeparator(),
            AppendControl("DatabaseEncodeDecodeDatabase", "Encode/Decode Database"),
        CloseMenu(),
        AppendControl("ReplicationOptionsMenu", "Replication Options"),
        OpenSubmenu("Tools", "Macro"),
            AppendControl("VisualBasic", "Visual Basic"),
            AppendMenuSeparator(),
            AppendControl("MacroSecurity", "Security…"),
            AppendMenuSeparator(),
            AppendControl("MacroPlay", "Run Macro"),
            AppendControl("CreateShortCutMenuFromMacro", "Create ShortCut Menu From Macro"),
            AppendControl("MacroConvertMacrosToVisualBasic", "Convert Macros to Visual Basic"),
        CloseMenu(),
        AppendMenuSeparator(),
        OpenSubmenu("Tools", "Source Control"),
            AppendControl("ActiveXLabel", "Label"),
        CloseMenu(),
        AppendControl("AddInsMenu", "Add-Ins…"),
        AppendControl("AutoCorrectOptionsDialog", "AutoCorrect Options…"),
        AppendControl("ApplicationOptionsDialog", "Access Options"),
    CloseTopMenu(),
};

constexpr Row kWindowsMenu[] = {
    OpenBarMenu("Windows"),
        AppendControl("WindowMoveSplit", "Split"),
        AppendControl("WindowsTileHorizontally", "Tile Horizontally"),
        AppendControl("WindowsTileVertically", "Tile Vertically"),
        AppendControl("WindowCascade", "Cascade"),
        AppendControl("WindowsArrangeAll", "Arrange Icons"),
        AppendMenuSeparator(),
        AppendControl("PositionFitToWindow", "Size to Fit Form"),
        AppendMenuSeparator(),
        AppendControl("WindowsSwitchWindowsMenuPowerPoint", "Switch Windows"),
    CloseTopMenu(),
};

// The last two buttons are the add-in's own: their ids carry the bar's prefix, so the copy of
// the bar inside the "All" menu has ids of its own.
constexpr Row kHelpMenu[] = {
    OpenBarMenu("Help"),
        AppendControl("Help", "Microsoft Office Access Help"),
        AppendMenuSeparator(),
        AppendControl("ContactUs", "Contact Us …"),
        AppendControl("CheckForUpdates", "Check for Updates"),
        AppendControl("About", "About Microsoft Office Access"),
        AppendMenuSeparator(),
        OwnButton("Help", "d24224025", "Uninstall Lorvenne", "You can uninstall using this option.", kUninstall),
        AppendMenuSeparator(),
        OwnButton("Help", "d242242", "About Lorvenne", "", kShowAbout),
    CloseMenu(),
};
// clang-format on

constexpr std::span<const Row> kMenuBar[] = {kFileMenu, kDynamicMenus, kToolsMenu, kWindowsMenu, kHelpMenu};

}  // namespace

void AppendMenuBar(Markup& markup, std::int32_t barMode) {
    markup.barMode = barMode;
    for (std::span<const Row> menu : kMenuBar) Emit(markup, menu, OwnButtonPrefix(barMode));
}

}  // namespace pellwyn
