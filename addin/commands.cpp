#include "commands.h"

#include "product.h"

namespace pellwyn {

std::string UninstallText() {
    std::string text = "To uninstall, close Access and then go to";
    text += "\r\r";
    text += "Start > Program Files > ";
    text += kestrel::kProductPhrase;  // the Start menu folder
    text += " > Uninstall ";
    text += kestrel::kProductPhrase;  // and its uninstall entry
    return text;
}

void ToggleDocumentMap(Host& host) {
    const bool shown = host.DocumentMap();
    host.SetDocumentMap(!shown);
}

}  // namespace pellwyn
