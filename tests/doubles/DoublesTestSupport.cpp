#include "tests/doubles/DoublesTestSupport.h"

#include <algorithm>

#include "diag/BoundedCopy.h"
#include "tests/support/TestFiles.h"

namespace {

constexpr char WINDOW_CLASS[] = "Win95DoublesTestWindow";
constexpr BYTE GUARD = 0xCD;
constexpr size_t GUARD_SIZE = 64;

}  // namespace

Library::Library(const std::string& nameOrPath) : m_module(LoadLibraryA(nameOrPath.c_str())) {}

Library::~Library() {
    if (m_module) FreeLibrary(m_module);
}

bool Library::Exports(const char* name) const {
    return m_module && GetProcAddress(m_module, name) != nullptr;
}

PhonebookApi::PhonebookApi(const Library& library)
    : enumDevices(library.Proc<RasEnumDevicesFn>("RasEnumDevices")),
      getEntryProperties(library.Proc<RasGetEntryPropertiesFn>("RasGetEntryProperties")),
      setEntryProperties(library.Proc<RasSetEntryPropertiesFn>("RasSetEntryProperties")),
      validateEntryName(library.Proc<RasValidateEntryNameFn>("RasValidateEntryName")),
      deleteEntry(library.Proc<RasDeleteEntryFn>("RasDeleteEntry")) {}

std::string VariantDirectory(const char* variant) {
    return ProgramDirectory() + "doubles\\" + variant + "\\";
}

UINT RasDialEventMessage() {
    UINT message = RegisterWindowMessageA(RASDIALEVENT);
    return message ? message : WM_RASDIALEVENT;
}

EventWindow::EventWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = WINDOW_CLASS;
    RegisterClassA(&windowClass);  // fails harmlessly when registered before
    m_window = CreateWindowExA(0, WINDOW_CLASS, "", WS_OVERLAPPED, 0, 0, 8, 8, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

EventWindow::~EventWindow() {
    if (m_window) DestroyWindow(m_window);
}

LRESULT CALLBACK EventWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<EventWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message >= 0xC000) {
        self->m_received.push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<PostedMessage> EventWindow::WaitFor(UINT message, size_t count, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    auto matching = [&] {
        std::vector<PostedMessage> found;
        for (const PostedMessage& received : m_received)
            if (received.message == message) found.push_back(received);
        return found;
    };
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (matching().size() >= count || elapsed >= timeoutMs) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
    return matching();
}

GuardedBuffer::GuardedBuffer(size_t size, BYTE fill)
    : m_size(size), m_fill(fill), m_bytes(size + GUARD_SIZE, GUARD) {
    std::fill(m_bytes.begin(), m_bytes.begin() + size, fill);
}

bool GuardedBuffer::UntouchedFrom(size_t offset) const {
    for (size_t i = offset; i < m_bytes.size(); ++i)
        if (m_bytes[i] != (i < m_size ? m_fill : GUARD)) return false;
    return true;
}

RASENTRY SampleEntry(const char* deviceName) {
    RASENTRY entry = {};
    entry.dwSize = sizeof entry;
    entry.dwfOptions = RASEO_SpecificNameServers | RASEO_ModemLights;
    entry.dwCountryID = 1;
    entry.dwCountryCode = 1;
    CopyBounded(entry.szAreaCode, " ");
    CopyBounded(entry.szLocalPhoneNumber, "555-0100");
    entry.ipaddrDns = {10, 1, 2, 3};
    entry.dwfNetProtocols = RASNP_Ip;
    entry.dwFramingProtocol = RASFP_Ppp;
    CopyBounded(entry.szAutodialFunc, "AutoDialHandler");
    CopyBounded(entry.szDeviceType, "modem");
    CopyBounded(entry.szDeviceName, deviceName);
    entry.dwReserved2 = 0xA5A5A5A5;  // the last bytes travel too
    return entry;
}

RASDIALPARAMS SampleDialParams(const char* entry, const char* user, const char* password) {
    RASDIALPARAMS params = {};
    params.dwSize = sizeof params;
    CopyBounded(params.szEntryName, entry);
    CopyBounded(params.szPhoneNumber, "555-0199");
    CopyBounded(params.szUserName, user);
    CopyBounded(params.szPassword, password);
    return params;
}
