#include "classic_tab_view.h"

#include "markup_tree.h"

#include <exception>
#include <string>
#include <vector>

namespace pellwyn::preview {
namespace {

constexpr Context kContexts[] = {
    {"table-datasheet", "a table in Datasheet view", 0, false, true},
    {"table-design", "a table in Design view", 0, true, false},
    {"query-design", "a query in Design view", 1, true, false},
    {"query-datasheet", "a query in Datasheet view", 1, false, true},
    {"form-design", "a form in Design view", 2, true, false},
    {"form-view", "a form in Form view", 2, false, false},
    {"report-design", "a report in Design view", 3, true, false},
    {"macro", "a macro in Design view", 4, true, false},
    {"module", "a module", 5, false, false},
    {"none", "no object (nothing selected)", -1, false, false},
};

enum class Shown { Yes, No, Unknown };

constexpr std::size_t kCommandColumn = 50;

// What a person calls the boxes of the tab; any other box goes by its id.
struct BoxName {
    std::string_view id, name;
};
constexpr BoxName kBoxNames[] = {
    {"boxNew2", "Standard toolbar"},  {"boxNew3", "Formatting toolbar"}, {"boxNew01", "Controls, row 1"},
    {"boxNew02", "Controls, row 2"}, {"boxNew03", "Controls, row 3"},
};

std::string BoxTitle(std::string_view id) {
    for (const BoxName& b : kBoxNames)
        if (b.id == id) return std::string(b.name);
    return std::string(id);
}

// Characters, not bytes, so that "…" takes one column.
std::size_t Width(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

class Renderer {
public:
    Renderer(TabCallbacks& callbacks, const ViewOptions& options) : callbacks_(callbacks), options_(options) {}

    std::string Render(std::string_view document) {
        if (document.empty())
            return "The add-in gives Access no Classic tab (its setting \"Classic\" is off, or the host is not Access).\n";
        const Element root = ParseMarkup(document);
        const Element* ribbon = Child(root, "ribbon");
        const Element* tabs = ribbon ? Child(*ribbon, "tabs") : nullptr;
        if (!tabs) throw std::runtime_error("markup: no ribbon tabs");

        std::vector<std::string> hidden;
        const Element* classic = nullptr;
        for (const Element& tab : tabs->children) {
            if (tab.Has("idMso") && tab.Attr("visible") == "false") hidden.emplace_back(tab.Attr("idMso"));
            if (tab.Attr("id") == "Menus") classic = &tab;
        }
        if (!classic) throw std::runtime_error("markup: no Classic tab");

        Line(0, "Tab \"" + std::string(classic->Attr("label")) + "\"" + KeyTip(*classic) +
                    (classic->Has("insertBeforeMso") ? ", before " + std::string(classic->Attr("insertBeforeMso"))
                                                     : ", after the built-in tabs"));
        if (ribbon->Attr("startFromScratch") == "true")
            Line(1, "the built-in tabs are replaced: this is the only tab");
        if (!hidden.empty()) Line(1, "hidden built-in tabs: " + Join(hidden, ", "));
        for (const Element& group : classic->children) Group(group);
        return out_;
    }

private:
    static const Element* Child(const Element& e, std::string_view name) {
        for (const Element& c : e.children)
            if (c.name == name) return &c;
        return nullptr;
    }
    static std::string Join(const std::vector<std::string>& parts, const std::string& between) {
        std::string s;
        for (const std::string& p : parts) s += (s.empty() ? "" : between) + p;
        return s;
    }
    void Line(int depth, const std::string& text) { out_ += std::string(static_cast<std::size_t>(depth) * 2, ' ') + text + "\n"; }

    // Asks the element's getVisible callback, as Access does each time it draws the element.
    Shown IsShown(const Element& e) {
        if (!e.Has("getVisible")) return Shown::Yes;
        try {
            return callbacks_.Visible(e.Attr("getVisible")) ? Shown::Yes : Shown::No;
        } catch (const std::exception&) {
            return Shown::Unknown;  // Access keeps showing an element whose callback fails
        }
    }
    // Whether to list the element, and the note that goes with it.
    bool Listed(const Element& e, std::string& note) {
        switch (IsShown(e)) {
        case Shown::Yes: note.clear(); return true;
        case Shown::Unknown: note = " (its getVisible failed)"; return true;
        case Shown::No: note = " (hidden)"; return options_.showHidden;
        }
        return true;
    }
    static bool IsGap(const Element& e) { return e.name == "button" && e.Attr("enabled") == "false"; }
    // What Alt and then these keys open, beside the title; nothing where Office gives the KeyTip.
    static std::string KeyTip(const Element& e) {
        return e.Has("keytip") ? " [" + std::string(e.Attr("keytip")) + "]" : std::string();
    }
    static std::string Title(const Element& e) { return std::string(e.Attr("label")) + KeyTip(e); }

    void Group(const Element& group) {
        std::string note;
        const bool listed = Listed(group, note);
        if (!listed) {
            Line(1, "Group \"" + std::string(group.Attr("label")) + "\": hidden here");
            return;
        }
        Line(1, "Group \"" + std::string(group.Attr("label")) + "\"" + note);
        for (const Element& box : group.children) Box(box);
    }

    void Box(const Element& box) {
        bool menus = false;
        for (const Element& c : box.children) menus = menus || c.name == "menu" || c.name == "dynamicMenu";
        bool onlyMenus = menus;
        for (const Element& c : box.children)
            onlyMenus = onlyMenus && (c.name == "menu" || c.name == "dynamicMenu" || IsGap(c));
        if (onlyMenus)
            MenuBar(box);
        else
            Row(box);
    }

    // The bar: its menus in a line, then each menu's items as a tree.
    void MenuBar(const Element& box) {
        std::vector<const Element*> menus;
        std::vector<std::string> names;
        for (const Element& c : box.children) {
            if (IsGap(c)) continue;
            std::string note;
            if (!Listed(c, note)) continue;
            menus.push_back(&c);
            names.push_back(Title(c) + note);
        }
        Line(2, "Menu bar: " + Join(names, "  "));
        for (const Element* menu : menus) {
            bool copyOfTheBar = false;  // the menu "All", in whatever language: it holds the dynamic menus
            for (const Element& c : menu->children) copyOfTheBar = copyOfTheBar || c.name == "dynamicMenu";
            if (copyOfTheBar) {
                // The same menus again, inside one menu: named, not repeated.
                std::vector<std::string> inner;
                for (const Element& c : menu->children) {
                    std::string note;
                    if (!IsGap(c) && Listed(c, note)) inner.push_back(Title(c) + note);
                }
                Line(3, Title(*menu) + ": the menu bar again (" + Join(inner, ", ") + ")");
                continue;
            }
            Line(3, Title(*menu));
            MenuItems(*menu, 4);
        }
    }

    void MenuItems(const Element& menu, int depth) {
        if (menu.name == "dynamicMenu") {
            const std::string callback(menu.Attr("getContent"));
            Element fragment;
            try {
                fragment = ParseMarkup(callbacks_.Content(callback));
            } catch (const std::exception& e) {
                Line(depth, "(" + callback + " failed: " + e.what() + ")");
                return;
            }
            if (fragment.children.empty()) Line(depth, "(empty)");
            for (const Element& item : fragment.children) Item(item, depth);
            return;
        }
        for (const Element& item : menu.children) Item(item, depth);
    }

    void Item(const Element& item, int depth) {
        std::string note;
        if (!Listed(item, note)) return;
        if (item.name == "menuSeparator") {
            Line(depth, "----");
            return;
        }
        std::string text = item.Has("label") ? Title(item) : std::string(item.Attr("idMso"));
        if (item.name == "menu" || item.name == "dynamicMenu") {
            Line(depth, text + " >" + note);
            MenuItems(item, depth + 1);
            return;
        }
        std::string command;
        if (item.Has("idMso") && item.Has("label")) command = std::string(item.Attr("idMso"));
        if (item.Has("onAction")) command = "runs the add-in's " + std::string(item.Attr("onAction"));
        if (!command.empty()) {
            // The commands stand in one column, whatever the depth and the label's length.
            const std::size_t used = static_cast<std::size_t>(depth) * 2 + Width(text);
            text += std::string(used < kCommandColumn ? kCommandColumn - used : 2, ' ') + command;
        }
        Line(depth, text + note);
    }

    // A toolbar row: command names in order, button groups kept together, gaps as '|'.
    void Row(const Element& box) {
        std::vector<std::string> words;
        for (const Element& c : box.children) RowWords(c, words);
        while (!words.empty() && words.back() == "|") words.pop_back();
        const std::string title = BoxTitle(box.Attr("id")) + ": ";
        const std::size_t indent = 4 + title.size();
        std::string line = std::string(4, ' ') + title;
        bool first = true;
        for (const std::string& w : words) {
            if (!first && Width(line) + 1 + Width(w) > static_cast<std::size_t>(options_.width)) {
                out_ += line + "\n";
                line = std::string(indent, ' ');
                first = true;
            }
            line += (first ? "" : " ") + w;
            first = false;
        }
        out_ += line + "\n";
    }

    void RowWords(const Element& e, std::vector<std::string>& words) {
        std::string note;
        if (!Listed(e, note)) return;
        const std::string mark = note.empty() ? "" : "(" + note.substr(2);  // " (hidden)" -> "(hidden)"
        if (IsGap(e)) {
            if (!words.empty() && words.back() != "|") words.push_back("|");
        } else if (e.name == "buttonGroup") {
            for (const Element& c : e.children) RowWords(c, words);
        } else if (e.name == "comboBox") {
            words.push_back("[" + std::string(e.Attr("idMso")) + "]" + mark);
        } else if (e.name == "menu") {
            words.push_back(std::string(e.Has("imageMso") ? e.Attr("imageMso") : e.Attr("label")) + "▾" + mark);
        } else {
            words.push_back(std::string(e.Has("idMso") ? e.Attr("idMso") : e.Attr("label")) + mark);
        }
    }

    TabCallbacks& callbacks_;
    const ViewOptions& options_;
    std::string out_;
};

}  // namespace

std::string RenderClassicTab(std::string_view document, TabCallbacks& callbacks, const ViewOptions& options) {
    return Renderer(callbacks, options).Render(document);
}

std::span<const Context> Contexts() { return kContexts; }

const Context* FindContext(std::string_view name) {
    for (const Context& c : kContexts)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace pellwyn::preview
