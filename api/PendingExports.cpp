// Exports whose subsystems are not built yet answer "not implemented" (6).
#include <win95/Exports.h>

extern "C" DWORD WINAPI IsUserRegistered(DWORD*, const char*, DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
