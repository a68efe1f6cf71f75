// Shortcut files through the shell's link object.
#ifndef WIN95_ENVIRONMENT_SHELLLINK_H
#define WIN95_ENVIRONMENT_SHELLLINK_H

#include <win95/Records.h>
#include <windows.h>

// Writes the shortcut the record describes: 0 when saved, else 8. COM is
// initialised for the call and uninitialised again on every path.
DWORD CreateShellLink(const ShellLinkRecord& record);

#endif
