#include "po_reader.h"

#include "../common/utf8.h"

#include <gettext-po.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>

namespace po_compile {

std::vector<Fault> faults;

void Report(const std::string& path, int line, const std::string& what) {
    faults.push_back({path + ":" + std::to_string(line), what});
}

std::optional<std::u32string> Utf32(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return std::nullopt;
        char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1Fu) : n == 3 ? (c & 0x0Fu) : (c & 0x07u);
        for (std::size_t k = 1; k < n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b >> 6) != 2) return std::nullopt;
            cp = (cp << 6) | (b & 0x3Fu);
        }
        // No overlong forms, surrogates or numbers beyond Unicode.
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[n] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return std::nullopt;
        out += cp;
        i += n;
    }
    return out;
}

std::string Utf8(std::u32string_view s) {
    std::string out;
    for (const char32_t c : s) kestrel::AppendUtf8(out, c);
    return out;
}

namespace {

// libgettextpo does not tell where in the file a message stands, so po-compile finds the lines
// that start entries itself: a msgctxt, or a msgid that no msgctxt began, active or obsolete
// ("#~"). The library keeps its messages in the file's order, so the n-th message it gives
// starts on the n-th of these lines, once the duplicates it dropped (and named) are left out.
struct EntryStart {
    int line = 0;
    bool context = false, obsolete = false;
};

struct Scan {
    std::vector<EntryStart> starts;
    std::vector<int> notUtf8;      // lines that are not UTF-8
    std::vector<int> domainLines;  // "domain" directives
};

bool Keyword(std::string_view s, std::string_view k) {
    return s.substr(0, k.size()) == k && (s.size() == k.size() || s[k.size()] == ' ' || s[k.size()] == '\t' ||
                                          s[k.size()] == '"');
}

std::optional<Scan> ScanLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    Scan scan;
    bool afterContext = false;
    std::string raw;
    for (int line = 1; std::getline(in, raw); ++line) {
        if (!Utf32(raw)) scan.notUtf8.push_back(line);
        std::string_view s(raw);
        s.remove_prefix(std::min(s.find_first_not_of(" \t\r"), s.size()));
        bool obsolete = false;
        if (s.substr(0, 2) == "#~") {
            obsolete = true;
            s.remove_prefix(2);
            s.remove_prefix(std::min(s.find_first_not_of(" \t"), s.size()));
        } else if (!s.empty() && s[0] == '#') {
            continue;  // a comment, or a previous msgid ("#|")
        }
        if (Keyword(s, "msgctxt")) {
            scan.starts.push_back({line, true, obsolete});
            afterContext = true;
        } else if (Keyword(s, "msgid")) {
            if (!afterContext) scan.starts.push_back({line, false, obsolete});
            afterContext = false;
        } else if (Keyword(s, "domain")) {
            scan.domainLines.push_back(line);
        }
    }
    return scan;
}

// What the library reported, kept until the lines of its messages are known.
struct LibraryReport {
    int line = 0;                   // 0: the message's line, or none
    po_message_t message = nullptr;  // the message it concerns, when the library says
    std::string text;
};

struct ReadState {
    const char* path = nullptr;
    std::vector<LibraryReport> reports;
    std::set<int> duplicates;  // lines of entries the library dropped as duplicates
    bool broken = false;       // an error that leaves the entries unknown
    std::jmp_buf fatal;
};
ReadState* reading = nullptr;

std::string Trimmed(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    for (char& c : s)
        if (c == '\n') c = ' ';
    return s;
}

int LineOf(const char* filename, std::size_t lineno) {
    return filename && lineno != static_cast<std::size_t>(-1) ? static_cast<int>(lineno) : 0;
}

bool Record(int severity, po_message_t message, const char* filename, std::size_t lineno, const char* text) noexcept {
    try {
        reading->reports.push_back({LineOf(filename, lineno), message, Trimmed(text)});
        if (severity != PO_SEVERITY_WARNING) reading->broken = true;
    } catch (...) {
        reading->broken = true;
    }
    return severity == PO_SEVERITY_FATAL_ERROR;
}

// libgettextpo's handlers. A fatal error must not return to the library: it leaves by longjmp,
// with nothing of ours left alive on the way.
void OnError(int severity, po_message_t message, const char* filename, std::size_t lineno, std::size_t, int,
             const char* text) {
    if (Record(severity, message, filename, lineno, text)) std::longjmp(reading->fatal, 1);
}

void OnError2(int severity, po_message_t message1, const char* filename1, std::size_t lineno1, std::size_t, int,
              const char* text1, po_message_t message2, const char* filename2, std::size_t lineno2, std::size_t, int,
              const char* text2) {
    bool fatal = false;
    try {
        // Reading reports an entry twice so: the second one's line, then the first one.
        LibraryReport r{LineOf(filename1, lineno1), message1, Trimmed(text1)};
        r.text += " (" + Trimmed(text2) + ": ";
        const int line2 = LineOf(filename2, lineno2);
        r.text += line2 ? "line " + std::to_string(line2) + ")" : "@";
        if (!line2) r.message = message2;  // its line is found below, and put where "@" stands
        reading->duplicates.insert(r.line);
        reading->reports.push_back(std::move(r));
        fatal = severity == PO_SEVERITY_FATAL_ERROR;
    } catch (...) {
        reading->broken = true;
    }
    if (fatal) std::longjmp(reading->fatal, 1);
}

const po_xerror_handler kHandler = {OnError, OnError2};

// po_file_read and po_file_check_all under setjmp: nothing here has a destructor to skip.
po_file_t ReadFile(ReadState& state) {
    reading = &state;
    if (setjmp(state.fatal) != 0) return nullptr;
    return po_file_read(state.path, &kHandler);
}
void CheckFile(ReadState& state, po_file_t file) {
    reading = &state;
    if (setjmp(state.fatal) == 0) po_file_check_all(file, &kHandler);
}

struct FileDeleter {
    void operator()(po_file_t f) const { po_file_free(f); }
};

std::string HeaderField(const char* header, const char* field) {
    char* value = po_header_field(header, field);
    std::string s = value ? value : "";
    std::free(value);
    return s;
}

bool SaysUtf8(std::string contentType) {
    std::transform(contentType.begin(), contentType.end(), contentType.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    const std::size_t at = contentType.find("charset=");
    return at != std::string::npos && contentType.compare(at + 8, std::string::npos, "utf-8") == 0;
}

}  // namespace

std::optional<Catalog> ReadCatalog(const std::string& path, bool translation) {
    const std::optional<Scan> scan = ScanLines(path);
    if (!scan) {
        Report(path, 0, "cannot be read");
        return std::nullopt;
    }
    const std::size_t faultsBefore = faults.size();
    ReadState state;
    state.path = path.c_str();
    const std::unique_ptr<po_file, FileDeleter> file(ReadFile(state));

    // The lines the library named as not UTF-8 are reported once, with its words.
    std::set<int> reported;
    for (const LibraryReport& r : state.reports) reported.insert(r.line);
    for (const int line : scan->notUtf8)
        if (!reported.count(line)) Report(path, line, "is not UTF-8");
    for (const int line : scan->domainLines)
        Report(path, line, "a domain directive: these programs read the messages of one domain");

    // The lines of the library's messages, the duplicates it dropped left out.
    std::vector<EntryStart> starts;
    for (std::size_t i = 0; i < scan->starts.size(); ++i) {
        const int end = i + 1 < scan->starts.size() ? scan->starts[i + 1].line : 1 << 30;
        const bool dropped = std::any_of(state.duplicates.begin(), state.duplicates.end(),
                                         [&](int line) { return line >= scan->starts[i].line && line < end; });
        if (!dropped) starts.push_back(scan->starts[i]);
    }
    std::vector<po_message_t> messages;
    if (file && !state.broken) {
        const po_message_iterator_t it = po_message_iterator(file.get(), nullptr);
        for (po_message_t m; (m = po_next_message(it)) != nullptr;) messages.push_back(m);
        po_message_iterator_free(it);
    }
    bool linesKnown = messages.size() == starts.size();
    for (std::size_t i = 0; linesKnown && i < messages.size(); ++i)
        linesKnown = starts[i].context == (po_message_msgctxt(messages[i]) != nullptr) &&
                     starts[i].obsolete == (po_message_is_obsolete(messages[i]) != 0);
    auto lineOf = [&](po_message_t m) {
        for (std::size_t i = 0; linesKnown && i < messages.size(); ++i)
            if (messages[i] == m) return starts[i].line;
        return 0;
    };
    auto flush = [&] {
        for (LibraryReport& r : state.reports) {
            const std::size_t at = r.text.find('@');
            if (at != std::string::npos) r.text.replace(at, 1, "line " + std::to_string(lineOf(r.message)) + ")");
            Report(path, r.line ? r.line : lineOf(r.message), r.text);
        }
        state.reports.clear();
    };
    flush();
    if (!file || state.broken) return std::nullopt;  // the library's errors say why
    if (!linesKnown) {
        Report(path, 0, "po-compile cannot match the entries libgettextpo read to their lines");
        return std::nullopt;
    }

    Catalog c{path, {}, 0, {}};
    bool header = false;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const po_message_t m = messages[i];
        const int line = starts[i].line;
        const char* context = po_message_msgctxt(m);
        const std::string id = po_message_msgid(m);
        if (po_message_is_obsolete(m)) {
            Report(path, line, "an obsolete entry (#~): the programs do not read it; remove it");
            continue;
        }
        if (po_message_msgid_plural(m)) {
            Report(path, line, "plural forms are not used by these programs");
            continue;
        }
        if (!context && id.empty()) {
            header = true;
            c.headerLine = line;
            const char* text = po_message_msgstr(m);
            c.language = HeaderField(text, "Language");
            c.language.erase(c.language.find_last_not_of(" \t\r") + 1);
            c.language.erase(0, c.language.find_first_not_of(" \t"));
            if (!SaysUtf8(HeaderField(text, "Content-Type")))
                Report(path, line, "its header must say \"Content-Type: text/plain; charset=UTF-8\"");
            if (translation && po_message_is_fuzzy(m))
                Report(path, line, "its header entry is marked fuzzy: complete it, then drop the mark");
            continue;
        }
        c.entries.push_back({context ? context : "", id, po_message_msgstr(m), po_message_is_fuzzy(m) != 0, line});
    }
    if (!header) Report(path, 1, "has no header entry (msgid \"\")");
    if (translation && header) CheckFile(state, file.get());
    flush();
    if (faults.size() != faultsBefore) return std::nullopt;
    return c;
}

}  // namespace po_compile
