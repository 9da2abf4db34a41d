#include "commands.h"

#include "product.h"

namespace pellwyn {

std::string UninstallText(const kestrel::Language& language) {
    // The product's name twice: the Start menu folder, and its uninstall entry.
    return kestrel::FormatText(language(kestrel::Text("uninstall", "To uninstall, close Access and then go to\r\rStart "
                                                                   "> Program Files > {1} > Uninstall {1}")),
                               {kestrel::kProductPhrase});
}

void ToggleDocumentMap(Host& host) {
    const bool shown = host.DocumentMap();
    host.SetDocumentMap(!shown);
}

}  // namespace pellwyn
