// kitdb -v: the engine's messages ("Database" log stream) on standard error.
// The native log stream writes there when WIN95_LOG_STDERR is 1, with the
// categories of WIN95_LOG_FLAGS; in the Windows build the stream takes its
// settings from a log INI file, so kitdb gives it one of its own for a
// moment and prints what the stream produces through the log observer.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

#include "diag/Logs.h"
#include "diag/VLogOutImp.h"
#include "tools/kitdb/KitDb.h"

namespace {

// Failures (1) and progress (256), or everything.
const char* Flags(bool everything) {
    return everything ? "FFFFFFFF" : "101";
}

#ifdef _WIN32
class ToStandardError : public VLogObserver {
public:
    void OnMessage(const char*, unsigned long, int) override {}
    void OnText(const char* module, const char* text) override {
        if (std::strcmp(module, "Database") == 0) std::fputs(text, stderr);
    }
};
ToStandardError g_toStandardError;
#endif

}  // namespace

void ShowEngineMessages(bool everything) {
#ifdef _WIN32
    char dir[MAX_PATH];
    char ini[MAX_PATH];
    DWORD length = GetTempPathA(sizeof dir, dir);
    if (length == 0 || length >= sizeof dir || !GetTempFileNameA(dir, "kdb", 0, ini)) return;
    // The messages go to no device of the stream's own, only to the observer.
    WritePrivateProfileStringA("GlobalDebug", "LogActive", "1", ini);
    WritePrivateProfileStringA("GlobalDebug", "LogFlags", Flags(everything), ini);
    WritePrivateProfileStringA("GlobalDebug", "LogDevices", "0", ini);
    WritePrivateProfileStringA("GlobalDebug", "LogFile", "", ini);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini);
    {
        VLogOut verbose("Database", ini);
        verbose(0);  // loads the settings now, so that the file can go
        g_DbLog = verbose;
    }
    DeleteFileA(ini);
    SetLogObserver(&g_toStandardError);
#else
    setenv("WIN95_LOG_STDERR", "1", 1);
    setenv("WIN95_LOG_FLAGS", Flags(everything), 1);
#endif
}
