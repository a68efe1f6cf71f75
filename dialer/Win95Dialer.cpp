#include "dialer/Win95Dialer.h"

#include <cstring>

#include "api/ModuleInstance.h"
#include "diag/BoundedCopy.h"
#include "diag/Logs.h"
#include "diag/ScopedHandle.h"
#include "dialer/Connectoid.h"
#include "dialer/LineDevices.h"
#include "dialer/ServiceNames.h"

namespace {

const char kWindowClass[] = "VTDIALER";
const UINT_PTR kPollTimer = 1;
const UINT kPollPeriod = 500;
const DWORD kHangUpWait = 3000;
const DWORD kModemRecordVersion = 31;
const DWORD kProfileRecordVersion = 57;

bool IsPppFailure(DWORD error) {
    return (error >= 718 && error <= 722) || (error >= 732 && error <= 738);
}

}  // namespace

Win95Dialer* Win95Dialer::s_apActiveDialers[kMaxActiveDialers];
UINT Win95Dialer::s_uRasDialEventMessage = 0;

DWORD RasErrorToClass(DWORD error) {
    switch (error) {
        case 676:
            return WIN95_DIAL_LINE_BUSY;
        case 678:
            return WIN95_DIAL_NO_ANSWER;
        case 680:
            return WIN95_DIAL_NO_DIALTONE;
        case 739:
            return WIN95_DIAL_ERROR_739;
        case 679:
            return WIN95_DIAL_NO_CARRIER;
        case 602:
            return WIN95_DIAL_PORT_ALREADY_OPEN;
        case 677:
            return WIN95_DIAL_VOICE_ANSWER;
        case 601:
        case 606:
        case 615:
        case 633:
            return WIN95_DIAL_PORT_UNAVAILABLE;
        default:
            return IsPppFailure(error) ? static_cast<DWORD>(WIN95_DIAL_PPP_FAILED) : error;
    }
}

// Opened with the right to change its state: a handle opened with no access
// cannot release the semaphore, and the AutoDial handler would then wait for
// the connection application to end instead of for the connection.
void ReleaseAutoDialSemaphore() {
    KernelObject semaphore(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, kAutoDialSemaphoreName));
    if (semaphore.Valid()) ReleaseSemaphore(semaphore.Get(), 1, nullptr);
}

Win95Dialer::Win95Dialer()
    : DialerObject(WIN95_DIALER_CLASS_ID, "Win95 Dialer"),
      m_hNotifyWindow(nullptr),
      m_hRasConn(nullptr),
      m_hCallerWindow(nullptr),
      m_uCallerMessage(0),
      m_dwLastStatus(0),
      m_szModemName() {}

Win95Dialer::~Win95Dialer() {
    Disconnect(false);
    m_hCallerWindow = nullptr;
}

DWORD Win95Dialer::Dial(DialRequest* request) {
    if (!request || !request->modem || !request->profile) return WIN95_FAILED;
    if (request->modem->version != kModemRecordVersion) {
        g_Log(LOG_ERROR) << "Dial: MODEM_RECORD is version "
                         << static_cast<unsigned long>(request->modem->version)
                         << " expected version= " << static_cast<int>(kModemRecordVersion) << "\n";
        return WIN95_FAILED;
    }
    if (static_cast<DWORD>(request->profile->Version) != kProfileRecordVersion) {
        g_Log(LOG_ERROR) << "Dial: PROFILE_RECORD_VERSION is version "
                         << static_cast<unsigned long>(request->profile->Version)
                         << " expected version= " << static_cast<int>(kProfileRecordVersion)
                         << "\n";
        return WIN95_FAILED;
    }
    // A dial in progress holds a RAS connection or a notification window: a
    // second one would orphan them.
    if (m_hRasConn || m_hNotifyWindow) {
        g_Log(LOG_ERROR) << "Dial: a dial is already in progress on this dialer\n";
        return WIN95_FAILED;
    }

    DWORD result = CreateConnectoid(kServiceConnectoidName, *request);
    if (result != 0) {
        g_Log(LOG_ERROR) << "Dial(): CreateConnectoid() failed, retcode=" << result << "\n";
        return result;
    }

    RASDIALPARAMS params;
    std::memset(&params, 0, sizeof params);
    params.dwSize = sizeof params;
    CopyBounded(params.szEntryName, sizeof params.szEntryName, kServiceConnectoidName);
    CopyBounded(params.szPhoneNumber, sizeof params.szPhoneNumber, request->phoneNumber);
    FillBounded(params.szUserName, sizeof request->profile->LoginName, request->profile->LoginName);
    FillBounded(params.szPassword, sizeof request->profile->Password, request->profile->Password);

    m_hCallerWindow = request->window;
    m_uCallerMessage = request->message;
    AddToActiveDialers();
    s_uRasDialEventMessage = RegisterWindowMessageA(RASDIALEVENT);
    if (s_uRasDialEventMessage == 0) s_uRasDialEventMessage = WM_RASDIALEVENT;
    if (!CreateDialWindow()) {
        g_Log(LOG_ERROR) << "CreateDialWindow() failed\n";
        return WIN95_FAILED;
    }
    CopyBounded(m_szModemName, sizeof m_szModemName, request->modem->deviceName);

    result =
        RasDialA(nullptr, nullptr, &params, RASDIAL_NOTIFIER_WINDOW, m_hNotifyWindow, &m_hRasConn);
    if (result != 0) {
        g_Log(LOG_ERROR) << "Win95Dialer::Dial(): RasDial returned: " << result << "\n";
        Disconnect(false);
    }
    return result;
}

DWORD Win95Dialer::HangUp() {
    return Disconnect(true);
}

DWORD Win95Dialer::GetStatus(DWORD* status) {
    if (!status) return WIN95_FAILED;
    *status = m_dwLastStatus;
    return 0;
}

bool Win95Dialer::CreateDialWindow() {
    HINSTANCE instance = GetModuleInstance();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DialWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);  // may already exist: that is fine
    m_hNotifyWindow = CreateWindowExA(0, kWindowClass, "", WS_CHILD, 0, 0, 8, 8, m_hCallerWindow,
                                      nullptr, instance, nullptr);
    return m_hNotifyWindow != nullptr;
}

void Win95Dialer::AddToActiveDialers() {
    for (Win95Dialer*& entry : s_apActiveDialers) {
        if (!entry) {
            entry = this;
            return;
        }
    }
}

void Win95Dialer::RemoveFromActiveDialers() {
    for (Win95Dialer*& entry : s_apActiveDialers) {
        if (entry == this) {
            entry = nullptr;
            return;
        }
    }
}

Win95Dialer* Win95Dialer::FindByWindow(HWND window) {
    for (Win95Dialer* entry : s_apActiveDialers)
        if (entry && entry->m_hNotifyWindow == window) return entry;
    return nullptr;
}

DWORD Win95Dialer::Disconnect(bool notify) {
    if (m_hRasConn) RasHangUpA(m_hRasConn);
    RemoveFromActiveDialers();
    Sleep(kHangUpWait);
    m_hRasConn = nullptr;
    if (notify) PostMessageA(m_hCallerWindow, m_uCallerMessage, WIN95_DIAL_DISCONNECTED, 0);
    if (m_hNotifyWindow) {
        HWND window = m_hNotifyWindow;
        DestroyWindow(window);
        // Whatever is still queued for the window is dispatched before its
        // handle is forgotten. A window of another thread cannot be
        // destroyed from here; its messages are not ours to dispatch.
        MSG message;
        while (IsWindow(window) && PeekMessageA(&message, window, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    m_hNotifyWindow = nullptr;
    UnregisterClassA(kWindowClass, GetModuleInstance());
    ReleaseAutoDialSemaphore();
    return 0;
}

DWORD Win95Dialer::PostDialerEvent(DWORD state, DWORD error) {
    DWORD status;
    DWORD detail = 0;
    if (error != 0) {
        g_Log(LOG_ERROR) << "RasDial error event: raserror=" << error << "\n";
        status = WIN95_DIAL_FAILED;
        detail = RasErrorToClass(error);
    } else {
        status = RasConnStateToStatus(state, &detail);
    }
    if (status == 0) return 0;
    m_dwLastStatus = status;
    if (!PostMessageA(m_hCallerWindow, m_uCallerMessage, static_cast<WORD>(status), detail)) {
        g_Log(LOG_ERROR) << "PostDialerEvent(): PostMessage failed, HWND="
                         << static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(m_hCallerWindow))
                         << " LastError=" << GetLastError() << "\n";
    }
    if (status == WIN95_DIAL_FAILED || status == WIN95_DIAL_DISCONNECTED) Disconnect(false);
    return 0;
}

DWORD Win95Dialer::RasConnStateToStatus(DWORD state, DWORD* detail) {
    *detail = 0;
    switch (state) {
        case RASCS_OpenPort:
            return WIN95_DIAL_BEGUN;
        case RASCS_Authenticate:
            return WIN95_DIAL_AUTHENTICATING;
        case RASCS_Connected: {
            *detail = GetDCESpeed(m_szModemName);
            g_Log(LOG_CONNECT) << "RasConnStateToStatus: Connect speed is "
                               << static_cast<long>(*detail) << "\n";
            if (SetTimer(m_hNotifyWindow, kPollTimer, kPollPeriod, nullptr))
                g_Log(LOG_INFO) << "RasConnStateToStatus: Timer started\n";
            else
                g_Log(LOG_ERROR) << "RasConnStateToStatus: SetTimer() failed\n";
            ReleaseAutoDialSemaphore();
            return WIN95_DIAL_CONNECTED;
        }
        case RASCS_Disconnected:
            return WIN95_DIAL_DISCONNECTED;
        default:
            return 0;
    }
}

// A timer tick: a connection that RAS no longer reports, or reports as
// disconnected, is a dropped line.
void Win95Dialer::CheckConnection() {
    RASCONNSTATUS status;
    std::memset(&status, 0, sizeof status);
    status.dwSize = sizeof status;
    DWORD result = RasGetConnectStatusA(m_hRasConn, &status);
    if (result != 0) {
        g_Log(LOG_ERROR) << "DialWndProc(): RasGetConnStatus returned " << result
                         << ", Simulating a disconnect\n";
        status.rasconnstate = RASCS_Disconnected;
    }
    if (status.rasconnstate != RASCS_Disconnected) return;
    PostDialerEvent(RASCS_Disconnected, 0);
    if (status.dwError != 0)
        g_Log(LOG_ERROR) << "DialWndProc(): Connection dropped"
                         << " RAS Error = " << status.dwError << "\n";
    else
        g_Log(LOG_ERROR) << "DialWndProc(): Connection dropped\n";
}

LRESULT CALLBACK Win95Dialer::DialWndProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_CREATE) return 0;
    if (message == WM_DESTROY) {
        KillTimer(window, kPollTimer);
        return DefWindowProcA(window, message, first, second);
    }
    if (message == WM_TIMER) {
        Win95Dialer* dialer = FindByWindow(window);
        if (!dialer) {
            g_Log(LOG_ERROR) << "DialWndProc(): WM_TIMER recv'd, object not found\n";
            return 0;
        }
        dialer->CheckConnection();
        return DefWindowProcA(window, message, first, second);
    }
    if (s_uRasDialEventMessage != 0 && message == s_uRasDialEventMessage) {
        Win95Dialer* dialer = FindByWindow(window);
        if (!dialer)
            g_Log(LOG_ERROR) << "DialWndProc(): RAS Message recv'd, object not found\n";
        else
            dialer->PostDialerEvent(static_cast<DWORD>(first), static_cast<DWORD>(second));
        return 0;
    }
    return DefWindowProcA(window, message, first, second);
}
