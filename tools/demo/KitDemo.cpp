// The kit's demo session: a program of the kit's kind that uses WIN95.dll
// through its SDK header and import library, as the setup wizard and the
// connection application do, on the simulated modem line (the platform
// stand-ins beside the programs). It installs the kit into a directory of its
// own and runs the installed copy, which sets the subscriber up, dials, and
// lets RAS AutoDial start the kit's Connect.exe.
#include <shlobj.h>
#include <win95.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/connect/SubscriberStores.h"
#include "tools/demo/DemoInstall.h"
#include "tools/demo/DialStatus.h"

namespace {

const char kKitDirectory[] = "OrvoVelTraneKit";

// The simulated line keeps its state in a folder of this session.
class SimulatedLine {
public:
    explicit SimulatedLine(const std::string& kit) : m_dir(kit + "\\line") {
        CreateDirectoryA(m_dir.c_str(), nullptr);
        for (const char* name : {"scenario.ini", "phonebook.ini", "journal.log"})
            DeleteFileA((m_dir + "\\" + name).c_str());
        SetEnvironmentVariableA("WIN95_DOUBLES_STATE", m_dir.c_str());
        Set("dial", "Delay", "100");
    }
    void Set(const char* section, const char* key, const char* value) {
        std::string scenario = m_dir + "\\scenario.ini";
        WritePrivateProfileStringA(section, key, value, scenario.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, scenario.c_str());
    }

private:
    std::string m_dir;
};

std::string Directory(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

void CheckAccount(const char* when, const std::string& backup) {
    DWORD registered = 0;
    DWORD result = IsUserRegistered(&registered, backup.c_str(), 0);
    std::printf("Account check %s: IsUserRegistered -> %lu, %s\n", when, result,
                registered ? "registered" : "not registered");
    if (!registered) return;
    char login[64], pop[64];
    GetPrivateProfileStringA("Profile", "LoginName", "", login, sizeof login, backup.c_str());
    GetPrivateProfileStringA("Profile", "POP Name", "", pop, sizeof pop, backup.c_str());
    std::printf("    backup file: LoginName=%s, POP Name=%s\n", login, pop);
}

bool SetUpSubscriber(HMODULE library) {
    std::string error;
    bool written = WriteSubscriber(library,
                                   "        Description=\"Jane Doe\"\r\n"
                                   "        LoginName=\"jdoe\"\r\n"
                                   "        Password=\"secret\"\r\n"
                                   "        DnsAddr1=10 0 0 1 \r\n"
                                   "        DnsAddr2=10 0 0 2 \r\n"
                                   "        POPName=\"jdoe\"\r\n"
                                   "        EmailAddress=\"jdoe@orvoveltrane.net\"\r\n",
                                   "        Description=\"Home\"\r\n"
                                   "        PopNumber 1=\"555-0100\"\r\n"
                                   "        PopDescription 1=\"Springfield\"\r\n"
                                   "        DefaultPOPEntry=0 \r\n",
                                   error);
    if (written)
        std::printf("Setup: stored the subscriber jdoe and the location Home (555-0100)\n");
    else
        std::printf("Setup failed: %s\n", error.c_str());
    return written;
}

bool ShowModems(ModemRecord& chosen) {
    DWORD count = 0;
    DWORD result = GetNumberOfModems(&count);
    std::printf("Modems (GetNumberOfModems -> %lu): %lu\n", result, count);
    for (DWORD i = 0; i < count; ++i) {
        ModemRecord modem = {};
        modem.version = 31;
        if (GetModem(i, &modem) == WIN95_OK) {
            std::printf("  %lu: %s, up to %lu bit/s\n", i, modem.deviceName,
                        static_cast<unsigned long>(modem.maxRate));
            if (i == 0) chosen = modem;
        }
    }
    std::printf("\n");
    return count > 0;
}

void DialTwice(DWORD dialer, SimulatedLine& line, const ModemRecord& modem,
               const std::string& number, const ProfileRecord& profile) {
    DialStatusWindow status;
    DialRequest request = {};
    request.phoneNumber = number.c_str();
    request.profile = &profile;
    request.modem = &modem;
    request.window = status.Window();
    request.message = status.Message();

    std::printf("Dialing %s on %s (the line is busy this time):\n", number.c_str(),
                modem.deviceName);
    line.Set("dial", "Events", "OpenPort,PortOpened,ConnectDevice:676");
    DWORD result = Dial(dialer, &request);
    if (result != WIN95_OK || !status.WaitFor(WIN95_DIAL_FAILED, WIN95_DIAL_CONNECTED, 20000))
        std::printf("    Dial -> %lu\n", result);

    std::printf("\nDialing %s again:\n", number.c_str());
    line.Set("dial", "Events", nullptr);
    result = Dial(dialer, &request);
    if (result != WIN95_OK || !status.WaitFor(WIN95_DIAL_CONNECTED, WIN95_DIAL_FAILED, 20000))
        std::printf("    Dial -> %lu\n", result);
    DWORD current = 0;
    GetStatus(dialer, &current);
    std::printf("GetStatus -> %lu\n", current);

    std::printf("\nHanging up (the dialer waits 3 seconds for the line):\n");
    HangUp(dialer);
    status.WaitFor(WIN95_DIAL_DISCONNECTED, WIN95_DIAL_DISCONNECTED, 5000);
}

void MakeShortcut(const std::string& kit) {
    char desktop[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY | CSIDL_FLAG_CREATE, nullptr, 0,
                                desktop)))
        std::strcpy(desktop, kit.c_str());
    ShellLinkRecord link = {};
    std::snprintf(link.targetPath, sizeof link.targetPath, "%s\\Connect.exe", kit.c_str());
    std::snprintf(link.linkPath, sizeof link.linkPath, "%s\\Orvo VelTrane.lnk", desktop);
    std::snprintf(link.description, sizeof link.description, "Connect to Orvo VelTrane");
    std::snprintf(link.workingDirectory, sizeof link.workingDirectory, "%s", kit.c_str());
    DWORD result = SetShellLink(&link);
    bool exists = GetFileAttributesA(link.linkPath) != INVALID_FILE_ATTRIBUTES;
    std::printf("\nDesktop shortcut: SetShellLink -> %lu, %s %s\n", result, link.linkPath,
                exists ? "written" : "missing");
}

// RAS asks the service connectoid's AutoDial hook to connect; the hook runs
// the kit's Connect.exe, which stays connected until its window is closed.
void AutoDial() {
    std::printf("\nAutoDial: an application needs the network; RAS calls the hook:\n");
    std::fflush(stdout);
    char entry[] = "Orvo VelTrane Service";
    DWORD code = 0xFFFFFFFF;
    BOOL handled = AutoDialHandler(nullptr, entry, 0, &code);
    std::printf("AutoDialHandler -> %d, return code %lu\n", handled, code);
    HWND window = FindWindowA("OrvoVelTraneConnect", nullptr);
    if (!window) {
        std::printf("Connect.exe is not running.\n");
        return;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    std::printf("Connect.exe keeps the connection; closing its window:\n");
    std::fflush(stdout);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!process) return;
    DWORD exitCode = 0xFFFFFFFF;
    if (WaitForSingleObject(process, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    std::printf("Connect.exe exit code %lu\n", exitCode);
}

int RunSession() {
    HMODULE library = GetModuleHandleA("WIN95.dll");
    std::string kit = Directory(ModulePath(library));
    SimulatedLine line(kit);

    DWORD dialer = 0;
    if (GetObjectHandle(WIN95_DIALER_CLASS_ID, &dialer) != WIN95_OK) {
        std::printf("No dialer object.\n");
        return 1;
    }
    ObjectInfo info = {};
    GetObjectInfo(dialer, &info);
    std::printf("Dialer object: handle %lu, \"%s\" (type %lu, class 0x%08lX)\n\n", dialer,
                info.name, static_cast<unsigned long>(info.type),
                static_cast<unsigned long>(info.classId));

    std::string backup = kit + "\\backup.ini";
    CheckAccount("before setup", backup);
    if (!SetUpSubscriber(library)) return 1;
    CheckAccount("after setup", backup);
    std::printf("\n");

    ProfileRecord profile;
    LocationRecord location;
    std::string error;
    ModemRecord modem = {};
    modem.version = 31;
    if (!ReadSubscriber(library, profile, location, error) || !ShowModems(modem)) {
        std::printf("Nothing to dial with: %s\n", error.c_str());
        return 1;
    }
    DialTwice(dialer, line, modem, DefaultAccessNumber(location), profile);
    FreeObject(dialer);

    MakeShortcut(kit);
    AutoDial();
    std::printf("\nDemo session finished.\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kInstalledArgument) == 0) return RunSession();

    std::printf("== Orvo VelTrane client kit: demo session on the simulated modem line ==\n\n");
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string kit = std::string(temp) + kKitDirectory;
    std::string error;
    if (!InstallKit(kit, error)) {
        std::printf("Installing the kit failed: %s\n", error.c_str());
        return 1;
    }
    std::printf("Installed the kit in %s and running it from there.\n\n", kit.c_str());
    std::fflush(stdout);
    return RunInstalledCopy(kit);
}
