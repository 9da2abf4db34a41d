// Reads the add-in's markup back into a tree of elements: enough XML for what the add-in
// writes (elements and double-quoted attributes; no text, comments or entities).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellwyn::preview {

struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Element> children;

    // The attribute's value, or the empty text when it is not there.
    std::string_view Attr(std::string_view attribute) const;
    bool Has(std::string_view attribute) const;
};

// Throws std::runtime_error on text that is not such markup (unbalanced tags, stray text).
Element ParseMarkup(std::string_view xml);

}  // namespace pellwyn::preview
