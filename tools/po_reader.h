// po-compile's reading: the faults it reports, and a .po or .pot file read through GNU gettext's
// libgettextpo into plain entries, each with the line it starts on.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace po_compile {

// Every fault found, in the order found: "<file>:<line>: <what>". Nothing is written while there
// is one.
struct Fault {
    std::string where, what;
};
extern std::vector<Fault> faults;
void Report(const std::string& path, int line, const std::string& what);

struct Entry {
    std::string context, id, text;  // msgctxt, msgid, msgstr
    bool fuzzy = false;
    int line = 0;                    // where the entry starts (its msgctxt, else its msgid)
};

struct Catalog {
    std::string path;
    std::string language;        // the header's "Language:"
    int headerLine = 0;
    std::vector<Entry> entries;  // in the file's order, without the header entry
};

// Reads a .po or .pot file. Everything libgettextpo finds wrong (syntax, escapes, bytes that are
// not UTF-8, an entry twice) is reported with its file and line, and so is what these programs
// cannot use: a file without header entry or not in UTF-8, obsolete entries, plural forms,
// other domains. A translation (not the template) is also held to gettext's own checks of a
// file (the header's fields, line breaks and format strings as msgfmt --check has them). Gives
// nothing when the file has a fault that leaves its entries unknown.
std::optional<Catalog> ReadCatalog(const std::string& path, bool translation);

// UTF-8 text as code points; nullopt when it is not UTF-8.
std::optional<std::u32string> Utf32(std::string_view s);
std::string Utf8(std::u32string_view s);

}  // namespace po_compile
