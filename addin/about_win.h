// The add-in's About window: the product's name, the add-in's version, a link to the maker's
// web site, and OK. It is modeless and lives on Access's thread; there is at most one.
#pragma once

#include "language.h"

namespace pellwyn {

// Shows the About window, creating it with its words in the language given when there is none;
// when it is open already, shows that one again. Throws kestrel::Error when it cannot be made;
// nothing stays open then.
void ShowAboutWindow(const kestrel::Language& language);

}  // namespace pellwyn
