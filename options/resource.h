// Resource ids shared by menuvane.rc and the window.
#pragma once

#define IDI_MENUVANE 1  // the program's icon, first in the file, so Explorer shows it too
