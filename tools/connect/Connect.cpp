// Connect.exe: the kit's connection application in its smallest form, for
// the AutoDial path and the demo. It dials the service through WIN95.dll
// with the subscriber's current profile and location and stays running while
// connected; closing its window hangs up.
//
//   Connect.exe [/S] [/N:number]
//     /S         started by AutoDial (no questions asked; this program asks
//                none anyway)
//     /N:number  dial this number instead of the location's default POP
//                entry
//
// Exit codes: 0 after a connection ended (hung up or dropped), 1 when the
// dial failed, 2 when the subscriber's stores give nothing to dial, 3 when
// the library has no modem or refuses the dial.
#include <win95.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/connect/SubscriberStores.h"

namespace {

const char kWindowClass[] = "OrvoVelTraneConnect";

enum ExitCode { kConnectionEnded = 0, kDialFailed = 1, kNothingToDial = 2, kCannotDial = 3 };

struct Session {
    UINT statusMessage = 0;
    DWORD dialer = 0;
    bool connected = false;
    bool closing = false;
    int exitCode = kConnectionEnded;
};

Session g_session;

void Say(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::printf("Connect: ");
    std::vprintf(format, arguments);
    std::printf("\n");
    std::fflush(stdout);
    va_end(arguments);
}

void OnStatus(HWND window, DWORD status, DWORD detail) {
    switch (status) {
        case WIN95_DIAL_BEGUN:
            Say("dialing");
            break;
        case WIN95_DIAL_AUTHENTICATING:
            Say("authenticating");
            break;
        case WIN95_DIAL_CONNECTED:
            g_session.connected = true;
            Say("connected at %lu bit/s", detail);
            break;
        case WIN95_DIAL_FAILED:
            Say("the dial failed (error class %lu)", detail);
            g_session.exitCode = kDialFailed;
            DestroyWindow(window);
            break;
        case WIN95_DIAL_DISCONNECTED:
            Say("disconnected");
            DestroyWindow(window);
            break;
        default:
            break;
    }
}

LRESULT CALLBACK ConnectWindowProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == g_session.statusMessage && message != 0) {
        OnStatus(window, LOWORD(first), static_cast<DWORD>(second));
        return 0;
    }
    switch (message) {
        case WM_CLOSE:
            // HangUp waits for the line and posts "disconnected", which
            // destroys the window; a second close while waiting does nothing.
            if (!g_session.closing) {
                g_session.closing = true;
                Say("hanging up");
                HangUp(g_session.dialer);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, first, second);
    }
}

// The modem named by the location, or else the first one.
bool ChooseModem(const LocationRecord& location, ModemRecord& chosen) {
    DWORD count = 0;
    if (GetNumberOfModems(&count) != WIN95_OK || count == 0) return false;
    bool found = false;
    for (DWORD i = 0; i < count; ++i) {
        ModemRecord modem = {};
        modem.version = 31;
        if (GetModem(i, &modem) != WIN95_OK) continue;
        if (!found || lstrcmpiA(modem.deviceName, location.ModemName) == 0) chosen = modem;
        if (lstrcmpiA(modem.deviceName, location.ModemName) == 0) return true;
        found = true;
    }
    return found;
}

// The value of "/N:" in the command line, or empty.
std::string NumberArgument(const char* commandLine) {
    const char* option = std::strstr(commandLine, "/N:");
    if (!option) return std::string();
    option += 3;
    return std::string(option, std::strcspn(option, " \t"));
}

HWND CreateSessionWindow() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ConnectWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass)) return nullptr;
    return CreateWindowExA(0, kWindowClass, "Orvo VelTrane", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                           nullptr, instance, nullptr);
}

}  // namespace

int main() {
    HMODULE library = GetModuleHandleA("WIN95.dll");
    ProfileRecord profile;
    LocationRecord location;
    std::string error;
    if (!ReadSubscriber(library, profile, location, error)) {
        Say("no subscriber: %s", error.c_str());
        return kNothingToDial;
    }
    std::string number = NumberArgument(GetCommandLineA());
    if (number.empty()) number = DefaultAccessNumber(location);
    if (number.empty()) {
        Say("the location has no access number");
        return kNothingToDial;
    }
    ModemRecord modem = {};
    modem.version = 31;
    if (!ChooseModem(location, modem)) {
        Say("no modem");
        return kCannotDial;
    }

    HWND window = CreateSessionWindow();
    g_session.statusMessage = RegisterWindowMessageA("OrvoVelTraneConnectStatus");
    if (!window || GetObjectHandle(WIN95_DIALER_CLASS_ID, &g_session.dialer) != WIN95_OK) {
        Say("no dialer");
        return kCannotDial;
    }
    DialRequest request = {};
    request.phoneNumber = number.c_str();
    request.profile = &profile;
    request.modem = &modem;
    request.window = window;
    request.message = g_session.statusMessage;
    Say("dialing %s on %s", number.c_str(), modem.deviceName);
    DWORD result = Dial(g_session.dialer, &request);
    if (result != WIN95_OK) {
        Say("the library refuses the dial (%lu)", result);
        FreeObject(g_session.dialer);
        return kCannotDial;
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    FreeObject(g_session.dialer);
    return g_session.exitCode;
}
