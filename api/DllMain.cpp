// Entry point of WIN95.dll. The C runtime has run the static constructors
// (the global log streams) before DllMain sees DLL_PROCESS_ATTACH, and runs
// the static destructors after DllMain returns from DLL_PROCESS_DETACH.
#include <windows.h>

#include "api/Library.h"

// At DLL_PROCESS_DETACH a reserved argument that is not null means the
// process is ending (rather than FreeLibrary unloading the library).
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            LibraryAttach(instance);
            break;
        case DLL_PROCESS_DETACH:
            LibraryDetach(instance, reserved != nullptr);
            break;
        default:
            LibraryThreadNotification(instance);
            break;
    }
    return TRUE;
}
