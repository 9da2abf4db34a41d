// Any stored settings (any registry type and bytes), any host name, any answers about the
// doubtful control names: the whole document and every dynamic menu in every context. The
// build either fails with the named error of the setting that a reference reading says cannot
// be read, and hands nothing on, or gives the document of the same choices written as plain
// "0" and "1": well-formed, and the same on a second build. Each menu fragment is well-formed,
// and no id repeats. Nothing names a control the host said it does not know, and in any
// language but English no control of Access's carries a label of ours.
#include "control_names.h"
#include "dynamic_menus.h"
#include "fuzz_support.h"
#include "language.h"
#include "registry_value.h"
#include "ribbon.h"

#include <cstdio>

namespace {

using namespace pellwyn;

// Answers about control names from a seed that the input decides: known, unknown, cannot
// tell, or a refusal (which the add-in must take as cannot tell).
class FuzzHost final : public Host {
public:
    std::string name;
    std::int32_t objectType = -1;
    std::uint64_t seed = 0;
    std::string Name() override { return name; }
    std::int32_t CurrentObjectType() override { return objectType; }
    bool IsPressed(std::string_view) override { return false; }
    std::optional<bool> KnowsControl(std::string_view idMso) override {
        switch (Answer(idMso)) {
        case 0: return true;
        case 1: return false;
        case 2: return std::nullopt;
        default: throw kestrel::Error(kestrel::kOverflow, "the host refused");
        }
    }
    // The language: any number, nothing, or a refusal, as the seed decides.
    std::optional<std::int32_t> LanguageId() override {
        const std::uint64_t h = seed * 0x9E3779B97F4A7C15ULL;
        switch ((h >> 40) % 4) {
        case 0: return std::nullopt;
        case 1: throw kestrel::Error(kestrel::kOverflow, "the host refused");
        case 2: return 1033;
        default: return static_cast<std::int32_t>(h >> 8);
        }
    }
    bool English() {
        try {
            const std::optional<std::int32_t> lcid = LanguageId();
            return !lcid || *lcid <= 0 || *lcid > 0xFFFFF ||
                   kestrel::Language::FromLangId(static_cast<std::uint16_t>(*lcid)).english();
        } catch (...) {
            return true;
        }
    }
    void CheckLabels(std::string_view xml) {
        if (English()) return;
        for (std::size_t at = xml.find("<control idMso="); at != std::string_view::npos; at = xml.find("<control idMso=", at + 1)) {
            const std::string_view element = xml.substr(at, xml.find("/>", at) - at);
            FUZZ_CHECK(element.find(" label=") == std::string_view::npos && element.find(" screentip=") == std::string_view::npos,
                       "a label of ours on a control of Access's outside English: " + std::string(element));
        }
    }
    int Answer(std::string_view idMso) const {
        std::uint64_t h = seed;
        for (const char c : idMso) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        return static_cast<int>((h >> 29) % 4);
    }

    // Every control written is one this host knows or could not tell about: a doubtful name
    // it did not call unknown, or the successor of one it did, which it knows.
    void CheckNames(std::string_view xml) const {
        for (const std::string_view id : fuzz::AttributeValues(xml, "idMso")) {
            if (DoubtfulIndex(id) != kNotDoubtful) FUZZ_CHECK(Answer(id) != 1, "unknown " + std::string(id));
            for (const DoubtfulName& d : kDoubtfulNames)
                if (d.successor == id)
                    FUZZ_CHECK(Answer(d.name) == 1 && Answer(id) == 0, "the successor " + std::string(id) + " unasked for");
        }
    }
};

constexpr kestrel::SettingKey kNumberKeys[] = {kestrel::kHome, kestrel::kCreate, kestrel::kExternalData,
                                               kestrel::kDatabaseTools};

struct Outcome {
    std::string xml;
    std::int32_t error = 0;  // the code of the named error, when the build failed
    std::string what;        // and its text
};

Outcome Build(Markup& markup, FuzzHost& host, kestrel::SettingsStore& settings) {
    try {
        return {std::string(GetRibbonXml(markup, host, settings)), 0, {}};
    } catch (const kestrel::Error& e) {
        const std::string what = e.what();
        FUZZ_CHECK(e.code() == kestrel::kTypeMismatch || e.code() == kestrel::kOverflow, what);
        FUZZ_CHECK(what.rfind("setting \"", 0) == 0, what);
        return {{}, e.code(), what};
    }
}

// What the add-in must make of the settings, worked out apart from it: each stored value
// decoded by hand (text as ASCII up to its first NUL; anything else is no number), converted
// by the slow reference, read in the add-in's order. The result is either the named error of
// the first value that cannot be read, or the same choices as plain "0"/"1" texts, whose
// documents the schema tests validate one by one.
struct Expected {
    std::int32_t error = 0;
    std::string failing;  // the setting the error names
    std::string why;      // and how its text ends
    fuzz::FuzzSettings plain;
};

std::int32_t ReferenceInt32(const fuzz::FuzzSettings& settings, const kestrel::SettingKey& key) {
    const std::optional<std::string> text = fuzz::ReferenceText(settings, key.name);
    if (!text) return key.addinDefault;
    const fuzz::RefInt r = fuzz::ReferenceInt(*text, INT32_MIN, INT32_MAX);
    if (r.status == fuzz::RefStatus::NotANumber) throw fuzz::Unreadable{kestrel::kTypeMismatch, key.name, "is not a number"};
    if (r.status == fuzz::RefStatus::OutOfRange)
        throw fuzz::Unreadable{kestrel::kOverflow, key.name, "is out of range for a 32-bit integer"};
    return static_cast<std::int32_t>(r.value);
}

double ReferenceNumber(const fuzz::FuzzSettings& settings, const kestrel::SettingKey& key) {
    const std::optional<std::string> text = fuzz::ReferenceText(settings, key.name);
    if (!text) return key.addinDefault;
    const fuzz::RefDouble r = fuzz::ReferenceDouble(*text);
    if (r.status == fuzz::RefStatus::NotANumber) throw fuzz::Unreadable{kestrel::kTypeMismatch, key.name, "is not a number"};
    if (r.status == fuzz::RefStatus::OutOfRange) throw fuzz::Unreadable{kestrel::kOverflow, key.name, "is out of range for a number"};
    return r.value;
}

Expected Expect(const fuzz::FuzzSettings& settings) {
    Expected e;
    auto put = [&](const kestrel::SettingKey& key, bool on) { e.plain.Put(key.name, on ? "1" : "0"); };
    try {
        if (ReferenceInt32(settings, kestrel::kClassic) == 0) {
            put(kestrel::kClassic, false);
            return e;
        }
        const bool hide = ReferenceInt32(settings, kestrel::kHideBuiltInTabs) == 1;
        put(kestrel::kHideBuiltInTabs, hide);
        if (hide) {
            std::int64_t sum = 0;  // rounded after each addition
            for (const auto& key : kNumberKeys) {
                const std::optional<std::int64_t> next =
                    fuzz::ReferenceRound(static_cast<double>(sum) + ReferenceNumber(settings, key), INT32_MIN, INT32_MAX);
                if (!next) throw fuzz::Unreadable{kestrel::kOverflow, key.name, "the sum of the tab settings is out of range"};
                sum = *next;
            }
            for (const auto& key : kNumberKeys) put(key, sum == 4 || ReferenceNumber(settings, key) == 1.0);
        }
        put(kestrel::kLeft, ReferenceInt32(settings, kestrel::kLeft) == 1);
        put(kestrel::kAll, ReferenceInt32(settings, kestrel::kAll) == 1);
    } catch (const fuzz::Unreadable& u) {
        e.error = u.code;
        e.failing = u.name;
        e.why = u.why;
    }
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::DocumentInput in = fuzz::ParseDocumentInput({reinterpret_cast<const char*>(data), size});
    FuzzHost host;
    host.name = in.hostName;
    for (std::size_t i = 0; i < size; ++i) host.seed = (host.seed ^ data[i]) * 1099511628211ULL;

    Markup markup;
    const Outcome first = Build(markup, host, in.settings);
    if (!first.xml.empty()) {
        const std::string problem = fuzz::CachedXmlProblem(first.xml, "customUI");
        FUZZ_CHECK(problem.empty(), problem + "\n" + first.xml);
        host.CheckNames(first.xml);
        host.CheckLabels(first.xml);
    }

    Markup again;
    const Outcome second = Build(again, host, in.settings);
    FUZZ_CHECK(second.xml == first.xml && second.error == first.error, "a second build differs");
    FUZZ_CHECK(Build(markup, host, in.settings).xml == first.xml, "a build on a used buffer differs");

    if (host.name.find("Access") != std::string::npos) {
        const Expected expected = Expect(in.settings);
        FUZZ_CHECK(first.error == expected.error, first.error ? first.what : "no error, expected one for " + expected.failing);
        if (first.error) {
            FUZZ_CHECK(first.what.rfind("setting \"" + expected.failing + "\"", 0) == 0, first.what);
            FUZZ_CHECK(first.what.size() >= expected.why.size() &&
                           first.what.compare(first.what.size() - expected.why.size(), std::string::npos, expected.why) == 0,
                       first.what + "\ninstead of ... " + expected.why);
        } else {
            Markup plain;
            fuzz::FuzzSettings plainSettings = expected.plain;
            FUZZ_CHECK(Build(plain, host, plainSettings).xml == first.xml, "not the document of the same choices as 0 and 1");
        }
    } else {
        FUZZ_CHECK(first.xml.empty() && first.error == 0, "a document for another host");
    }

    // The menus, opened after the build, whether it failed or not: the counters go on, so no
    // id repeats one of the document or of a menu opened before.
    std::unordered_set<std::string> ids;
    for (const std::string_view id : fuzz::Ids(first.xml)) ids.emplace(id);
    for (const DynamicMenu menu : kDynamicMenus)
        for (std::int32_t type = -1; type <= 6; ++type) {
            host.objectType = type;
            const std::string fragment(GetContent(markup, host, menu));
            const std::string problem = fuzz::CachedXmlProblem(fragment, "menu");
            FUZZ_CHECK(problem.empty(), problem + "\n" + fragment);
            host.CheckNames(fragment);
            host.CheckLabels(fragment);
            for (const std::string_view id : fuzz::Ids(fragment))
                FUZZ_CHECK(ids.emplace(id).second, "the id " + std::string(id) + " again in\n" + fragment);
        }
    return 0;
}
