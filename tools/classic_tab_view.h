// The Classic tab as a person sees it in Access: its groups, the menu bar with every menu's
// items as an indented tree (the dynamic menus filled by their getContent callbacks), and the
// toolbar rows as lines of command names, leaving out what the getVisible callbacks hide.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pellwyn::preview {

// What the tab asks the add-in while it is drawn, by the callback names in the markup.
class TabCallbacks {
public:
    virtual ~TabCallbacks() = default;
    virtual bool Visible(std::string_view callback) = 0;         // throws when the callback fails
    virtual std::string Content(std::string_view callback) = 0;  // a `menu` fragment; throws on failure
};

struct ViewOptions {
    bool showHidden = false;  // list hidden elements too, marked "(hidden)"
    int width = 100;          // toolbar rows wrap at this many columns
};

// Renders the document; the empty document renders as a line saying there is no tab.
// Throws std::runtime_error when the markup cannot be read.
std::string RenderClassicTab(std::string_view document, TabCallbacks& callbacks, const ViewOptions& options = {});

// The contexts a person can pick: what Access reports while working on that object.
struct Context {
    std::string_view name;         // "table-datasheet"
    std::string_view description;  // "a table in Datasheet view"
    std::int32_t objectType;       // Application.CurrentObjectType
    bool designView;               // "ViewsDesignView" pressed
    bool datasheetView;            // "ViewsDatasheetView" pressed
};
std::span<const Context> Contexts();
const Context* FindContext(std::string_view name);

}  // namespace pellwyn::preview
