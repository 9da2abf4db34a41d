// The language of the running Access's user interface, asked once per connection, and the
// tab's own texts in it. In English, or when Access cannot tell, the tab is written as it
// always was. In any other language every control placed by idMso goes without label and
// screentip, so that Access shows its own words, and the tab's own texts (its name, the
// groups, the menus' titles, the Help menu's own buttons) come from that language's
// translation, in English where we ship none.
#pragma once

#include "host.h"
#include "language.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pellwyn {

class AccessLanguage {
public:
    // Asks the host its language, unless this connection has asked already. Never throws: a
    // question that fails is a host that cannot tell, and that is English. A host that calls
    // the add-in back while it answers finds the language still unknown (English).
    void Learn(Host& host);
    // Forgets the answer: the next connection asks again.
    void Forget() noexcept { *this = AccessLanguage(); }

    const kestrel::Language& language() const noexcept { return language_; }
    // Whether controls placed by idMso carry the tables' English labels and screentips.
    bool WritesLabels() const noexcept { return language_.english(); }
    // One of the tab's own texts (context "ribbon", or a KeyTip, "keytip.*"), as the markup takes
    // it: in English exactly the English text, otherwise the translation with & < > " escaped
    // (empty for a KeyTip that this language leaves to Office).
    std::string_view Own(kestrel::TextId id) const noexcept {
        return language_.english() ? kestrel::kTextKeys[id].english : std::string_view(escaped_[id]);
    }

private:
    enum class State : std::uint8_t { NotAsked, Asking, Known };
    State state_ = State::NotAsked;
    kestrel::Language language_;
    std::array<std::string, kestrel::kTextCount> escaped_;  // the tab's texts, escaped, when not English
};

}  // namespace pellwyn
