// Exports whose subsystems are not built yet answer "not implemented" (6).
#include <win95/Exports.h>

extern "C" DWORD WINAPI GetModem(DWORD, ModemRecord*) { return WIN95_NOT_IMPLEMENTED; }
extern "C" DWORD WINAPI GetNumberOfModems(DWORD*) { return WIN95_NOT_IMPLEMENTED; }
extern "C" DWORD WINAPI ModemConfig(const char*, HWND) { return WIN95_NOT_IMPLEMENTED; }
extern "C" DWORD WINAPI IsUserRegistered(DWORD*, const char*, DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
