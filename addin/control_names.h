// The names of Access's commands that not every Access knows, and what the running Access
// makes of them. The tables write Access 2007's names; later versions renamed a few, never
// had some (other Office programs' names, misspellings) and dropped others. Access leaves out
// a control whose name it does not know, and with "Show add-in user interface errors" on it
// shows an error box for each, so the add-in asks Access about these names once per
// connection and writes what Access knows: the name, its successor, or nothing at all.
//
// Every other name the tables write is in every list Microsoft publishes (2013 to 365).
#pragma once

#include "host.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace pellwyn {

struct DoubtfulName {
    std::string_view name;       // as the tables write it
    std::string_view successor;  // Access's name for the same command, or empty: there is none
};

// clang-format off
inline constexpr DoubtfulName kDoubtfulNames[] = {
    // Letter case only.
    {"CreateShortCutMenuFromMacro",        "CreateShortcutMenuFromMacro"},
    {"FileBackUpDatabase",                 "FileBackupDatabase"},
    {"ImportXMLFile",                      "ImportXmlFile"},
    {"ObjectsUnGroup",                     "ObjectsUngroup"},
    // Misspelt, or another Office program's name for a command Access has under its own.
    {"ControlLineFicknessGallery",         "ControlLineThicknessGallery"},
    {"SinhronizeData",                     "SynchronizeData"},
    {"DatabaseAccessDatabaseSQLServer",    "DatabaseAccessBackEnd"},      // the Database Splitter
    {"DatabaseEncodeDecodeDatabase",       "DatabaseEncodeDecode"},
    {"DatabaseLinkedTableManager",         "DatabaseLinedTableManager"},  // sic: Access's own spelling
    {"HeaderFooterPageNumbersInsert",      "HeaderFooterPageNumberInsert"},
    {"MacroPlay",                          "MacroRun"},
    {"ViewsAdpDiagramPrintPreviewView",    "ViewsAdpDiagramPrintPreview"},
    {"ViewsLayoutViewView",                "ViewsLayoutView"},
    {"WindowCascade",                      "WindowsCascade"},
    {"WindowMoveSplit",                    "WindowSplit"},
    {"WindowsArrangeAll",                  "WindowsArrangeIcons"},
    {"WindowsSwitchWindowsMenuPowerPoint", "WindowsSwitch"},
    {"FileSaveAsMenuAccess",               "FileSaveAsMenu"},             // 2007's Office button; the File tab since 2010
    // No such command in Access, or no longer.
    {"ActiveXLabel",                       ""},
    {"AutoCorrectOptionsDialog",           ""},
    {"CheckForUpdates",                    ""},
    {"MacroSecurity",                      ""},
    {"ContactUs",                          ""},  // in the 2019 and 365 lists only
    {"CreateFormPivotChart",               ""},  // PivotChart and PivotTable: gone since 2013
    {"PivotChartSortByTotalAscending",     ""},
    {"PivotChartSortByTotalDescending",    ""},
    {"ViewsPivotChartView",                ""},
    {"ViewsPivotTableView",                ""},
    {"DatabaseSQLServer",                  ""},  // the upsizing wizard: gone since 2013
};
// clang-format on

inline constexpr std::size_t kDoubtfulCount = std::size(kDoubtfulNames);
inline constexpr std::uint8_t kNotDoubtful = 0xFF;
static_assert(kDoubtfulCount < kNotDoubtful);

// The position of a name in kDoubtfulNames, or kNotDoubtful. The tables' rows work it out
// while compiling, so writing a name that is not doubtful costs nothing.
constexpr std::uint8_t DoubtfulIndex(std::string_view name) {
    for (std::size_t i = 0; i < kDoubtfulCount; ++i)
        if (kDoubtfulNames[i].name == name) return static_cast<std::uint8_t>(i);
    return kNotDoubtful;
}

// What one connection's Access has said about the doubtful names. A host that cannot tell
// (no CommandBars, no GetLabelMso, any other failure) gets every name as the tables have it.
class ControlNames {
public:
    // Asks the host about every doubtful name not asked on this connection yet, and about the
    // successor of each one it does not know. Never throws: a question that fails is a host
    // that cannot tell. A host that calls the add-in back while it answers finds the name
    // being asked written as the tables have it.
    void Learn(Host& host);
    // Forgets every answer: the next connection asks again.
    void Forget() noexcept { *this = ControlNames(); }

    // The name to write for kDoubtfulNames[index]: the name itself, its successor, or empty
    // when the control must be left out.
    std::string_view Resolve(std::uint8_t index) const noexcept;

private:
    enum class Answer : std::uint8_t { NotAsked, Asking, Known, Unknown, CannotTell };
    static Answer Ask(Host& host, std::string_view name) noexcept;

    std::array<Answer, kDoubtfulCount> names_{};
    std::array<Answer, kDoubtfulCount> successors_{};
};

}  // namespace pellwyn
