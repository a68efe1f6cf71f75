// The library's own module instance handle, stored at every entry-point
// notification. Window classes, TAPI and module-path lookups use it.
#ifndef WIN95_API_MODULEINSTANCE_H
#define WIN95_API_MODULEINSTANCE_H

#include <windows.h>

// Null until the first notification: GetModuleFileName and friends then name
// the process's executable, which is what statically linked tests want.
HINSTANCE GetModuleInstance();
void SetModuleInstance(HINSTANCE instance);

#endif
