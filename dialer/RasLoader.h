// Run-time access to the RAS phonebook functions. Windows 95 exports them
// unsuffixed from "rasapi32.dll" or, on some installations, from
// "rnaph.dll"; later systems export them from "rasapi32.dll" only with the
// ANSI suffix ("RasEnumDevicesA"). A loader lives for one operation and
// frees what it loaded when it goes.
#ifndef WIN95_DIALER_RASLOADER_H
#define WIN95_DIALER_RASLOADER_H

#include <windows.h>

#include "diag/Logs.h"

class RasLoader {
public:
    RasLoader() = default;
    // Frees "rasapi32.dll" first, then "rnaph.dll", each when loaded.
    ~RasLoader();
    RasLoader(const RasLoader&) = delete;
    RasLoader& operator=(const RasLoader&) = delete;

    // The function's address: the name in "rasapi32.dll", else in
    // "rnaph.dll", else (also when "rnaph.dll" cannot be loaded) the name
    // with the suffix "A" in "rasapi32.dll". Null when none has it or when
    // "rasapi32.dll" cannot be loaded.
    FARPROC GetProc(const char* name);

    // GetProc cast to the function's pointer type.
    template <typename Function>
    Function Get(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProc(name)));
    }
    // Get, logging failure (a whole line) at mask 1 when the function is
    // missing.
    template <typename Function>
    Function Require(const char* name, const char* failure) {
        Function function = Get<Function>(name);
        if (!function) g_Log(LOG_ERROR) << failure;
        return function;
    }

private:
    HMODULE m_rasapi32 = nullptr;
    HMODULE m_rnaph = nullptr;
};

#endif
