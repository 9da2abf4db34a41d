#include "markup_tree.h"

#include <stdexcept>

namespace pellwyn::preview {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':' ||
           c == '-' || c == '.';
}

class Parser {
public:
    explicit Parser(std::string_view xml) : s_(xml) {}

    Element Document() {
        SkipSpace();
        Element root = ParseElement();
        SkipSpace();
        if (i_ != s_.size()) Fail("text after the root element");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("markup: " + what + " at offset " + std::to_string(i_));
    }
    void SkipSpace() {
        while (i_ < s_.size() && IsSpace(s_[i_])) ++i_;
    }
    void Expect(char c) {
        if (i_ >= s_.size() || s_[i_] != c) Fail(std::string("expected '") + c + "'");
        ++i_;
    }
    std::string Name() {
        const std::size_t start = i_;
        while (i_ < s_.size() && IsNameChar(s_[i_])) ++i_;
        if (i_ == start) Fail("expected a name");
        return std::string(s_.substr(start, i_ - start));
    }

    Element ParseElement() {
        Expect('<');
        Element e;
        e.name = Name();
        for (;;) {
            SkipSpace();
            if (i_ >= s_.size()) Fail("unterminated tag");
            if (s_[i_] == '/') {
                ++i_;
                Expect('>');
                return e;
            }
            if (s_[i_] == '>') {
                ++i_;
                break;
            }
            std::string attribute = Name();
            SkipSpace();
            Expect('=');
            SkipSpace();
            Expect('"');
            const std::size_t end = s_.find('"', i_);
            if (end == std::string_view::npos) Fail("unterminated attribute value");
            e.attributes.emplace_back(std::move(attribute), std::string(s_.substr(i_, end - i_)));
            i_ = end + 1;
        }
        for (;;) {
            SkipSpace();
            if (s_.substr(i_, 2) == "</") {
                i_ += 2;
                if (Name() != e.name) Fail("</" + e.name + "> expected");
                SkipSpace();
                Expect('>');
                return e;
            }
            if (i_ >= s_.size() || s_[i_] != '<') Fail("text inside <" + e.name + ">");
            e.children.push_back(ParseElement());
        }
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

}  // namespace

std::string_view Element::Attr(std::string_view attribute) const {
    for (const auto& [n, v] : attributes)
        if (n == attribute) return v;
    return {};
}

bool Element::Has(std::string_view attribute) const {
    for (const auto& a : attributes)
        if (a.first == attribute) return true;
    return false;
}

Element ParseMarkup(std::string_view xml) { return Parser(xml).Document(); }

}  // namespace pellwyn::preview
