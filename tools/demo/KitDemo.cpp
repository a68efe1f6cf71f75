// The kit's demo session: a program of the kit's kind that uses WIN95.dll
// through its SDK header and import library, as the setup wizard and the
// connection application do, on the simulated modem line (the platform
// doubles beside the programs).
#include <win95.h>

#include <cstdio>
#include <string>

namespace {

// The simulated line keeps its state in a folder of this session.
class SimulatedLine {
public:
    SimulatedLine() {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        m_dir = std::string(temp) + "kitdemo-line";
        CreateDirectoryA(m_dir.c_str(), nullptr);
        DeleteFileA(Scenario().c_str());
        DeleteFileA((m_dir + "\\phonebook.ini").c_str());
        DeleteFileA((m_dir + "\\journal.log").c_str());
        SetEnvironmentVariableA("WIN95_DOUBLES_STATE", m_dir.c_str());
        Set("dial", "Delay", "250");
    }
    void Set(const char* section, const char* key, const char* value) {
        WritePrivateProfileStringA(section, key, value, Scenario().c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, Scenario().c_str());
    }

private:
    std::string Scenario() const { return m_dir + "\\scenario.ini"; }
    std::string m_dir;
};

UINT g_statusMessage = 0;
DWORD g_lastStatus = 0;
DWORD g_lastDetail = 0;

const char* ErrorClassText(DWORD detail) {
    switch (detail) {
        case WIN95_DIAL_LINE_BUSY:
            return "line busy";
        case WIN95_DIAL_NO_ANSWER:
            return "no answer";
        case WIN95_DIAL_NO_DIALTONE:
            return "no dial tone";
        case WIN95_DIAL_NO_CARRIER:
            return "no carrier";
        case WIN95_DIAL_PORT_ALREADY_OPEN:
            return "the modem is in use";
        case WIN95_DIAL_PPP_FAILED:
            return "the network did not answer";
        case WIN95_DIAL_PORT_UNAVAILABLE:
            return "the modem is not available";
        case WIN95_DIAL_VOICE_ANSWER:
            return "a voice answered";
        default:
            return nullptr;
    }
}

void PrintStatus(DWORD status, DWORD detail) {
    switch (status) {
        case WIN95_DIAL_BEGUN:
            std::printf("    dial begun\n");
            break;
        case WIN95_DIAL_AUTHENTICATING:
            std::printf("    authenticating\n");
            break;
        case WIN95_DIAL_CONNECTED:
            std::printf("    connected at %lu bit/s\n", detail);
            break;
        case WIN95_DIAL_DISCONNECTED:
            std::printf("    disconnected\n");
            break;
        case WIN95_DIAL_FAILED: {
            const char* text = ErrorClassText(detail);
            if (text)
                std::printf("    failed: %s\n", text);
            else
                std::printf("    failed: RAS error %lu\n", detail);
            break;
        }
        default:
            std::printf("    status %lu (%lu)\n", status, detail);
    }
    std::fflush(stdout);
}

LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == g_statusMessage && g_statusMessage != 0) {
        g_lastStatus = LOWORD(first);
        g_lastDetail = static_cast<DWORD>(second);
        PrintStatus(g_lastStatus, g_lastDetail);
        return 0;
    }
    return DefWindowProcA(window, message, first, second);
}

// Runs this thread's messages until the status is one of the two, or the
// time is up.
bool WaitForStatus(DWORD wanted, DWORD orElse, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    g_lastStatus = 0;
    while (GetTickCount() - start < timeoutMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (g_lastStatus == wanted || g_lastStatus == orElse) return true;
    }
    return false;
}

void ShowModems(ModemRecord& chosen) {
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
}

}  // namespace

int main() {
    std::printf("== Orvo VelTrane client kit: demo session on the simulated modem line ==\n\n");
    SimulatedLine line;

    ModemRecord modem = {};
    modem.version = 31;
    ShowModems(modem);

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DemoWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KitDemoWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "KitDemoWindow", "Kit demo", WS_OVERLAPPED, 0, 0, 100, 100,
                                  nullptr, nullptr, instance, nullptr);
    g_statusMessage = RegisterWindowMessageA("KitDemoDialStatus");

    DWORD handle = 0;
    if (GetObjectHandle(WIN95_DIALER_CLASS_ID, &handle) != WIN95_OK) {
        std::printf("No dialer object.\n");
        return 1;
    }
    ObjectInfo info = {};
    GetObjectInfo(handle, &info);
    std::printf("Dialer object: handle %lu, \"%s\" (type %lu, class 0x%08lX)\n\n", handle,
                info.name, static_cast<unsigned long>(info.type),
                static_cast<unsigned long>(info.classId));

    ProfileRecord profile = {};
    profile.Version = 57;
    std::snprintf(profile.LoginName, sizeof profile.LoginName, "%s", "jdoe");
    std::snprintf(profile.Password, sizeof profile.Password, "%s", "secret");
    const unsigned char dns1[4] = {10, 0, 0, 1}, dns2[4] = {10, 0, 0, 2};
    for (int i = 0; i < 4; ++i) {
        profile.DnsAddr1[i] = dns1[i];
        profile.DnsAddr2[i] = dns2[i];
    }
    DialRequest request = {};
    request.phoneNumber = "555-0100";
    request.profile = &profile;
    request.modem = &modem;
    request.window = window;
    request.message = g_statusMessage;

    std::printf("Dialing %s on %s (the line is busy this time):\n", request.phoneNumber,
                modem.deviceName);
    line.Set("dial", "Events", "OpenPort,PortOpened,ConnectDevice:676");
    DWORD result = Dial(handle, &request);
    if (result != WIN95_OK || !WaitForStatus(WIN95_DIAL_FAILED, WIN95_DIAL_CONNECTED, 20000))
        std::printf("    Dial -> %lu\n", result);

    std::printf("\nDialing %s again:\n", request.phoneNumber);
    line.Set("dial", "Events", nullptr);
    result = Dial(handle, &request);
    if (result != WIN95_OK || !WaitForStatus(WIN95_DIAL_CONNECTED, WIN95_DIAL_FAILED, 20000))
        std::printf("    Dial -> %lu\n", result);
    DWORD status = 0;
    GetStatus(handle, &status);
    std::printf("GetStatus -> %lu\n", status);

    std::printf("\nHanging up (the dialer waits 3 seconds for the line):\n");
    HangUp(handle);
    WaitForStatus(WIN95_DIAL_DISCONNECTED, WIN95_DIAL_DISCONNECTED, 5000);
    FreeObject(handle);

    DestroyWindow(window);
    std::printf("\nDemo session finished.\n");
    return 0;
}
