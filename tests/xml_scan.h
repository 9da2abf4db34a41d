// Reads our own markup back as a flat list of tags with their depth, for tests that check its
// shape. Enough for what the add-in writes (tags and attributes, no text, no comments); it
// reports unbalanced or stray tags instead of guessing.
#pragma once

#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pellwyn::testing {

struct Tag {
    enum Kind { Open, Close, Empty } kind;
    std::string name;
    std::map<std::string, std::string> attributes;
    int depth;  // of the element: 0 for the root
    std::string Attr(const std::string& n) const {
        auto it = attributes.find(n);
        return it == attributes.end() ? std::string() : it->second;
    }
    bool Has(const std::string& n) const { return attributes.count(n) != 0; }
};

inline std::vector<Tag> ScanTags(std::string_view xml) {
    static const std::regex kAttribute(R"re(([A-Za-z]+)\s*=\s*"([^"]*)")re");
    std::vector<Tag> tags;
    std::vector<std::string> open;
    std::size_t pos = 0;
    while (pos < xml.size()) {
        if (xml[pos] != '<') throw std::runtime_error("text outside a tag at " + std::to_string(pos));
        const std::size_t end = xml.find('>', pos);
        if (end == std::string_view::npos) throw std::runtime_error("unterminated tag");
        std::string body(xml.substr(pos + 1, end - pos - 1));
        pos = end + 1;
        Tag tag{Tag::Open, {}, {}, static_cast<int>(open.size())};
        if (!body.empty() && body.front() == '/') {
            tag.kind = Tag::Close;
            body.erase(0, 1);
            while (!body.empty() && body.back() == ' ') body.pop_back();
            if (open.empty() || open.back() != body) throw std::runtime_error("unbalanced </" + body + ">");
            open.pop_back();
            tag.depth = static_cast<int>(open.size());
            tag.name = body;
            tags.push_back(std::move(tag));
            continue;
        }
        if (!body.empty() && body.back() == '/') {
            tag.kind = Tag::Empty;
            body.pop_back();
        }
        const std::size_t nameEnd = body.find(' ');
        tag.name = body.substr(0, nameEnd);
        if (nameEnd != std::string::npos) {
            const std::string rest = body.substr(nameEnd);
            for (std::sregex_iterator it(rest.begin(), rest.end(), kAttribute), e; it != e; ++it)
                tag.attributes[(*it)[1]] = (*it)[2];
        }
        if (tag.kind == Tag::Open) open.push_back(tag.name);
        tags.push_back(std::move(tag));
    }
    if (!open.empty()) throw std::runtime_error("<" + open.back() + "> is never closed");
    return tags;
}

// The ids of all elements, in document order.
inline std::vector<std::string> Ids(const std::vector<Tag>& tags) {
    std::vector<std::string> ids;
    for (const Tag& t : tags)
        if (t.kind != Tag::Close && t.Has("id")) ids.push_back(t.Attr("id"));
    return ids;
}

// The path of English titles that names each tag's KeyTip among the translations' texts
// ("keytip.<path>": "File > Import", "Help > About Lorvenne", "Classic" for the tab), read from
// an English document (root "") or from the English fragment of the dynamic menu named `root`;
// "" for a closing tag. The "All" menu's copy of the bar has the bar's own paths; a toolbar's
// icon menu has no title of its own (no path), and its submenus take its screentip's
// ("Insert > Tables" inside the Insert button).
inline std::vector<std::string> KeyTipPaths(const std::vector<Tag>& tags, const std::string& root = "") {
    std::vector<std::string> paths(tags.size());
    std::vector<std::string> inside = {root};  // the path that the children of each open tag extend
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const Tag& t = tags[i];
        if (t.kind == Tag::Close) {
            inside.pop_back();
            continue;
        }
        const std::string& container = inside.back();
        std::string children = container;
        if (t.name == "tab") {
            paths[i] = "Classic";
        } else if ((t.name == "menu" || t.name == "dynamicMenu" || t.name == "button") && t.Has("label") && i > 0) {
            paths[i] = container.empty() ? t.Attr("label") : container + " > " + t.Attr("label");
            children = paths[i] == "All" ? "" : paths[i];  // the copy of the bar inside "All"
        } else if (t.name == "menu" && i > 0) {
            children = t.Attr("screentip");
        }
        if (t.kind == Tag::Open) inside.push_back(children);
    }
    return paths;
}

}  // namespace pellwyn::testing
