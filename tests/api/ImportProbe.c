/* A DLL that imports functions Windows 95 lacks (GetTickCount64 is Vista's,
   IsDebuggerPresent came with Windows 98): the import list check must name
   both and fail. */
#define _WIN32_WINNT 0x0600
#include <windows.h>

__declspec(dllexport) ULONGLONG ProbeUptime(void) {
    return IsDebuggerPresent() ? 0 : GetTickCount64();
}
