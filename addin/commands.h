// What the add-in's own commands do, apart from the windows they show: the uninstall
// instructions of the Help menu, and the document-map toggle of the dispatch interface.
#pragma once

#include "host.h"
#include "language.h"

#include <string>

namespace pellwyn {

// The uninstall box's text (UTF-8), in Access's language: where to find the uninstaller in the
// Start menu. The two line breaks are bare carriage returns, as the box has always shown them.
std::string UninstallText(const kestrel::Language& language = kestrel::Language());

// Reads Application.ActiveWindow.DocumentMap and writes back its opposite. A refusal by the
// host ends the toggle: nothing is written after a failed read.
void ToggleDocumentMap(Host& host);

}  // namespace pellwyn
