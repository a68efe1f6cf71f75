#include "tools/demo/DialStatus.h"

#include <win95.h>

#include <cstdio>

namespace {

const char kWindowClass[] = "KitDemoWindow";

UINT g_statusMessage = 0;
DWORD g_lastStatus = 0;

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

LRESULT CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == g_statusMessage && g_statusMessage != 0) {
        g_lastStatus = LOWORD(first);
        PrintDialStatus(g_lastStatus, static_cast<DWORD>(second));
        return 0;
    }
    return DefWindowProcA(window, message, first, second);
}

}  // namespace

void PrintDialStatus(DWORD status, DWORD detail) {
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

DialStatusWindow::DialStatusWindow() : m_window(nullptr) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = StatusWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    m_window = CreateWindowExA(0, kWindowClass, "Kit demo", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                               nullptr, instance, nullptr);
    g_statusMessage = RegisterWindowMessageA("KitDemoDialStatus");
}

DialStatusWindow::~DialStatusWindow() {
    if (m_window) DestroyWindow(m_window);
    UnregisterClassA(kWindowClass, GetModuleHandleA(nullptr));
}

UINT DialStatusWindow::Message() const {
    return g_statusMessage;
}

bool DialStatusWindow::WaitFor(DWORD status, DWORD orElse, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    g_lastStatus = 0;
    while (GetTickCount() - start < timeoutMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (g_lastStatus == status || g_lastStatus == orElse) return true;
    }
    return false;
}
