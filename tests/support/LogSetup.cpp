#include "tests/support/LogSetup.h"

#include "diag/Logs.h"
#ifdef _WIN32
#include "tests/support/KitInstall.h"
#endif

void ProduceAllGlobalLogs() {
    static bool done = false;
    if (done) return;
    done = true;
#ifdef _WIN32
    // Without "DataDir" the streams look for "veltrane.ini" beside the
    // library module: the kit's copy, for the moment of the first message.
    KitInstall kit;
    std::string ini = kit.Directory() + "\\veltrane.ini";
    WritePrivateProfileStringA("GlobalDebug", "LogFlags", "ffffffff", ini.c_str());
    WritePrivateProfileStringA("GlobalDebug", "LogDevices", "0", ini.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
#endif
    g_Log(0);
    g_DbLog(0);
}
