// Test doubles for what the add-in asks: a host that answers from fields and can refuse, and
// a settings store that records what was read.
#pragma once

#include "error.h"
#include "host.h"
#include "settings_store.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellwyn::testing {

// A Windows language (LCID) of each shipped translation, by its code.
inline constexpr std::pair<std::string_view, std::int32_t> kShippedLanguages[] = {
    {"de", 0x0407},    {"fr", 0x040C},    {"es", 0x0C0A}, {"it", 0x0410}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
    {"nl", 0x0413},    {"ja", 0x0411},    {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"ko", 0x0412}, {"ru", 0x0419},
    {"pl", 0x0415},    {"sv", 0x041D},    {"cs", 0x0405}, {"da", 0x0406}, {"fi", 0x040B}, {"nb", 0x0414},
    {"tr", 0x041F},    {"hu", 0x040E},    {"et", 0x0425}, {"lv", 0x0426}, {"lt", 0x0427}, {"th", 0x041E},
    {"vi", 0x042A},    {"hi", 0x0439},    {"sk", 0x041B}, {"sl", 0x0424}, {"hr", 0x041A}, {"sr", 0x081A},
    {"bg", 0x0402},    {"uk", 0x0422},    {"kk", 0x043F}, {"el", 0x0408}, {"ro", 0x0418}, {"id", 0x0421},
    {"ms", 0x043E},    {"ar", 0x0401}, {"he", 0x040D},
};

inline constexpr std::int32_t kHostRefused = static_cast<std::int32_t>(0x800A01A8U);  // "object required"

class FakeHost final : public Host {
public:
    std::string name = "Microsoft Office Access";
    std::int32_t objectType = -1;
    bool design = false;
    bool datasheet = false;
    bool documentMap = false;
    int failAtQuery = 0;               // the n-th question (1-based) is refused; 0: none
    std::vector<std::string> queries;  // "type", "pressed:ViewsDesignView", "name", "documentMap", "documentMap=1"

    std::string Name() override {
        Ask("name");
        return name;
    }
    std::int32_t CurrentObjectType() override {
        Ask("type");
        return objectType;
    }
    bool IsPressed(std::string_view idMso) override {
        Ask("pressed:" + std::string(idMso));
        if (idMso == kDesignViewButton) return design;
        if (idMso == kDatasheetViewButton) return datasheet;
        return false;
    }

    // What KnowsControl answers; without a rule the host cannot tell. Asked names are kept
    // apart from the other questions.
    std::function<std::optional<bool>(std::string_view)> knows;
    std::vector<std::string> controlQuestions;
    std::optional<bool> KnowsControl(std::string_view idMso) override {
        controlQuestions.emplace_back(idMso);
        return knows ? knows(idMso) : std::nullopt;
    }

    // What LanguageId answers (an LCID; without one the host cannot tell), and how often asked.
    std::optional<std::int32_t> language;
    bool languageRefused = false;
    int languageQuestions = 0;
    std::optional<std::int32_t> LanguageId() override {
        ++languageQuestions;
        if (languageRefused) throw kestrel::Error(kHostRefused, "the host refused LanguageSettings");
        return language;
    }

    bool DocumentMap() override {
        Ask("documentMap");
        return documentMap;
    }
    void SetDocumentMap(bool on) override {
        Ask(on ? "documentMap=1" : "documentMap=0");
        documentMap = on;
    }

private:
    void Ask(std::string what) {
        queries.push_back(std::move(what));
        if (static_cast<int>(queries.size()) == failAtQuery) throw kestrel::Error(kHostRefused, "the host refused");
    }
};

// Settings in memory that remember every name read, in order.
class RecordingSettings final : public kestrel::SettingsStore {
public:
    kestrel::MemorySettings values;
    std::vector<std::string> reads;

    std::optional<std::string> Get(std::string_view name) override {
        reads.emplace_back(name);
        return values.Get(name);
    }
    void Put(std::string_view name, std::string_view text) override { values.Put(name, text); }
};

}  // namespace pellwyn::testing
