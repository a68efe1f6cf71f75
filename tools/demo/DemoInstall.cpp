#include "tools/demo/DemoInstall.h"

#include <windows.h>

#include "diag/ScopedHandle.h"

namespace {

const char* const kKitFiles[] = {"kitdemo.exe",  "WIN95.dll",  "Connect.exe",
                                 "rasapi32.dll", "tapi32.dll", "serialui.dll"};
const char kWinSection[] = "OrvoVelTrane";
// What an earlier session left: the subscriber's stores and the account
// check's backup, so that every session starts as a new installation.
const char* const kSessionFiles[] = {
    "data\\profile.db",   "data\\profile.idx",  "data\\profile.h00", "data\\location.db",
    "data\\location.idx", "data\\location.h00", "backup.ini"};

std::string ProgramDirectory() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string program(path, length < sizeof path ? length : 0);
    return program.substr(0, program.find_last_of('\\') + 1);
}

bool WriteConfig(const std::string& ini, const char* key, const char* value) {
    return WritePrivateProfileStringA("configuration", key, value, ini.c_str()) != FALSE;
}

}  // namespace

bool InstallKit(const std::string& dir, std::string& error) {
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "\\data").c_str(), nullptr);
    for (const char* name : kSessionFiles) DeleteFileA((dir + "\\" + name).c_str());
    std::string from = ProgramDirectory();
    for (const char* name : kKitFiles) {
        if (!CopyFileA((from + name).c_str(), (dir + "\\" + name).c_str(), FALSE)) {
            error = std::string("cannot copy ") + name + " into " + dir;
            return false;
        }
    }
    std::string ini = dir + "\\corecode.ini";
    if (!WriteConfig(ini, "WinSection", kWinSection) || !WriteConfig(ini, "DataDir", "data") ||
        !WriteConfig(ini, "ProfileDB", "profile") || !WriteConfig(ini, "LocationDB", "location") ||
        !WriteProfileStringA(kWinSection, "Path", dir.c_str())) {
        error = "cannot write the kit's configuration";
        return false;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    return true;
}

int RunInstalledCopy(const std::string& dir) {
    std::string commandLine = "\"" + dir + "\\kitdemo.exe\" " + kInstalledArgument;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                        &startup, &started))
        return 1;
    KernelObject process(started.hProcess), thread(started.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
}
