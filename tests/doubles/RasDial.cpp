// The connection functions of the rasapi32.dll double: an asynchronous dial
// that plays the scenario's state sequence to the caller's notifier from a
// thread of its own, hang-up, and the connection status with a scripted
// dropped line. Connections live in the process that dialed.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "diag/BoundedCopy.h"
#include "tests/doubles/DoubleState.h"
#include "tests/doubles/Phonebook.h"
#include "tests/doubles/SimDevices.h"

using namespace doubles;

namespace {

constexpr char SECTION[] = "dial";
constexpr char DEFAULT_EVENTS[] =
    "OpenPort,PortOpened,ConnectDevice,DeviceConnected,AllDevicesConnected,Authenticate,"
    "Authenticated,Connected";
constexpr DWORD DEFAULT_DELAY = 20;

struct StateName {
    const char* name;
    RASCONNSTATE state;
};

constexpr StateName STATE_NAMES[] = {
    {"OpenPort", RASCS_OpenPort},
    {"PortOpened", RASCS_PortOpened},
    {"ConnectDevice", RASCS_ConnectDevice},
    {"DeviceConnected", RASCS_DeviceConnected},
    {"AllDevicesConnected", RASCS_AllDevicesConnected},
    {"Authenticate", RASCS_Authenticate},
    {"AuthNotify", RASCS_AuthNotify},
    {"AuthRetry", RASCS_AuthRetry},
    {"AuthCallback", RASCS_AuthCallback},
    {"AuthChangePassword", RASCS_AuthChangePassword},
    {"AuthProject", RASCS_AuthProject},
    {"AuthLinkSpeed", RASCS_AuthLinkSpeed},
    {"AuthAck", RASCS_AuthAck},
    {"ReAuthenticate", RASCS_ReAuthenticate},
    {"Authenticated", RASCS_Authenticated},
    {"PrepareForCallback", RASCS_PrepareForCallback},
    {"WaitForModemReset", RASCS_WaitForModemReset},
    {"WaitForCallback", RASCS_WaitForCallback},
    {"Projected", RASCS_Projected},
    {"Interactive", RASCS_Interactive},
    {"RetryAuthentication", RASCS_RetryAuthentication},
    {"CallbackSetByCaller", RASCS_CallbackSetByCaller},
    {"PasswordExpired", RASCS_PasswordExpired},
    {"Connected", RASCS_Connected},
    {"Disconnected", RASCS_Disconnected},
};

std::string NameOf(RASCONNSTATE state) {
    for (const StateName& entry : STATE_NAMES)
        if (entry.state == state) return entry.name;
    return std::to_string(state);
}

// A state by name (case-insensitive) or number; false when it is neither.
bool ParseState(const std::string& text, RASCONNSTATE& state) {
    for (const StateName& entry : STATE_NAMES) {
        if (lstrcmpiA(entry.name, text.c_str()) == 0) {
            state = entry.state;
            return true;
        }
    }
    char* end = nullptr;
    unsigned long number = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end) return false;
    state = static_cast<RASCONNSTATE>(number);
    return true;
}

struct DialEvent {
    RASCONNSTATE state;
    DWORD error;
};

std::string Trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

// [dial] Events: "State[:error],..."; tokens that name no state are skipped.
std::vector<DialEvent> ScriptedEvents() {
    std::string text = ScenarioText(SECTION, "Events", DEFAULT_EVENTS);
    std::vector<DialEvent> events;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string token = Trimmed(text.substr(start, comma - start));
        size_t colon = token.find(':');
        DialEvent event{RASCS_OpenPort, 0};
        if (colon != std::string::npos)
            event.error = std::strtoul(token.c_str() + colon + 1, nullptr, 0);
        if (ParseState(Trimmed(token.substr(0, colon)), event.state)) events.push_back(event);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return events;
}

struct Connection {
    HRASCONN handle = nullptr;
    std::string deviceType;
    std::string deviceName;
    RASCONNSTATE state = RASCS_OpenPort;
    DWORD error = 0;
    bool connected = false;
    DWORD connectedAt = 0;
    bool hungUp = false;
    DWORD notifierType = 0;
    LPVOID notifier = nullptr;
    UINT message = WM_RASDIALEVENT;
    std::vector<DialEvent> events;
    DWORD delay = DEFAULT_DELAY;
    // Events already on their way when the connection is hung up.
    DWORD lateEvents = 0;
    UniqueHandle stop{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

std::mutex g_lock;
std::map<HRASCONN, std::shared_ptr<Connection>> g_connections;
ULONG_PTR g_lastHandle = 0x1000;

std::shared_ptr<Connection> Find(HRASCONN handle) {
    auto found = g_connections.find(handle);
    return found == g_connections.end() ? nullptr : found->second;
}

// Hands one event to the notifier unless the connection was hung up (a late
// event goes out all the same); a window gets it posted, a function is
// called outside the lock. The journal line is written under the lock.
void Deliver(Connection& connection, const DialEvent& event, bool late = false) {
    std::unique_lock<std::mutex> hold(g_lock);
    if (connection.hungUp && !late) return;
    connection.state = event.state;
    connection.error = event.error;
    if (event.state == RASCS_Connected && !connection.connected) {
        connection.connected = true;
        connection.connectedAt = GetTickCount();
    }
    JournalLine line("RasDialEvent");
    line.Hex("conn", static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(connection.handle)))
        .Word("state", NameOf(event.state).c_str())
        .Number("error", event.error);
    if (connection.notifierType == RASDIAL_NOTIFIER_WINDOW) {
        BOOL posted = PostMessageA(static_cast<HWND>(connection.notifier), connection.message,
                                   event.state, event.error);
        line.Hex("message", connection.message).Result(posted ? 1 : 0).Write();
        return;
    }
    line.Write();
    hold.unlock();
    if (connection.notifierType == RASDIAL_NOTIFIER_FUNC)
        reinterpret_cast<RASDIALFUNC>(connection.notifier)(connection.message, event.state,
                                                           event.error);
    else if (connection.notifierType == RASDIAL_NOTIFIER_FUNC1)
        reinterpret_cast<RASDIALFUNC1>(connection.notifier)(connection.handle, connection.message,
                                                            event.state, event.error, 0);
}

// Plays the events, one delay before each, until one carries an error or
// the connection is hung up; returns the error that ended it, else 0. RAS
// posts from a thread of its own: a hang-up does not call back the events
// that thread is already sending, so the next "LateEvents" of the sequence
// still reach the notifier after it.
DWORD PlayEvents(Connection& connection, bool deliver) {
    for (size_t next = 0; next < connection.events.size(); ++next) {
        const DialEvent& event = connection.events[next];
        if (WaitForSingleObject(connection.stop.Get(), connection.delay) == WAIT_OBJECT_0) {
            size_t end = std::min(connection.events.size(), next + size_t{connection.lateEvents});
            for (; deliver && next < end; ++next)
                Deliver(connection, connection.events[next], true);
            break;
        }
        if (deliver) {
            Deliver(connection, event);
        } else {
            std::lock_guard<std::mutex> hold(g_lock);
            connection.state = event.state;
            connection.error = event.error;
            if (event.state == RASCS_Connected) {
                connection.connected = true;
                connection.connectedAt = GetTickCount();
            }
        }
        if (event.error) return event.error;
    }
    return 0;
}

DWORD WINAPI DialThread(LPVOID parameter) {
    std::shared_ptr<Connection>* owned = static_cast<std::shared_ptr<Connection>*>(parameter);
    std::shared_ptr<Connection> connection = *owned;
    delete owned;
    PlayEvents(*connection, true);
    connection.reset();
    // The thread holds a reference on this DLL (taken when it was started).
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&DialThread), &module);
    FreeLibraryAndExitThread(module, 0);
}

bool StartDialThread(const std::shared_ptr<Connection>& connection) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&DialThread), &module))
        return false;
    auto* owned = new std::shared_ptr<Connection>(connection);
    UniqueHandle thread(CreateThread(nullptr, 0, DialThread, owned, 0, nullptr));
    if (thread.Valid()) return true;
    delete owned;
    FreeLibrary(module);
    return false;
}

std::shared_ptr<Connection> NewConnection(const PhonebookEntry& entry) {
    auto connection = std::make_shared<Connection>();
    connection->deviceType = FieldText(entry.entry.szDeviceType);
    connection->deviceName = FieldText(entry.entry.szDeviceName);
    std::lock_guard<std::mutex> hold(g_lock);
    connection->handle = reinterpret_cast<HRASCONN>(++g_lastHandle);
    g_connections[connection->handle] = connection;
    return connection;
}

void Forget(HRASCONN handle) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_connections.erase(handle);
}

DWORD Dial(RASDIALPARAMS* params, DWORD notifierType, LPVOID notifier, HRASCONN* conn) {
    if (!params || !conn) return ERROR_INVALID_PARAMETER;
    if (params->dwSize != sizeof(RASDIALPARAMS)) return ERROR_INVALID_SIZE;
    if (notifier && notifierType != RASDIAL_NOTIFIER_FUNC &&
        notifierType != RASDIAL_NOTIFIER_FUNC1 && notifierType != RASDIAL_NOTIFIER_WINDOW)
        return ERROR_INVALID_PARAMETER;
    std::string name = FieldText(params->szEntryName);
    PhonebookEntry entry;
    if (!name.empty() && !LoadEntry(name.c_str(), entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    if (name.empty()) {
        std::vector<SimDevice> devices = RasDevices();
        if (!devices.empty()) {
            CopyBounded(entry.entry.szDeviceType, devices[0].type.c_str());
            CopyBounded(entry.entry.szDeviceName, devices[0].name.c_str());
        }
    }
    if (DWORD result = ScenarioNumber(SECTION, "Result", 0)) {
        // RAS has a connection handle by the time most dial failures are
        // known; the caller must hang it up all the same.
        if (ScenarioNumber(SECTION, "ResultHandle", 1)) {
            std::shared_ptr<Connection> connection = NewConnection(entry);
            connection->error = result;
            *conn = connection->handle;
        }
        return result;
    }
    std::shared_ptr<Connection> connection = NewConnection(entry);
    connection->notifierType = notifierType;
    connection->notifier = notifier;
    UINT message = RegisterWindowMessageA(RASDIALEVENT);
    connection->message = message ? message : WM_RASDIALEVENT;
    connection->events = ScriptedEvents();
    connection->delay = ScenarioNumber(SECTION, "Delay", DEFAULT_DELAY);
    connection->lateEvents = ScenarioNumber(SECTION, "LateEvents", 0);
    *conn = connection->handle;
    if (!notifier) return PlayEvents(*connection, false);
    if (StartDialThread(connection)) return 0;
    Forget(connection->handle);
    *conn = nullptr;
    return ERROR_NOT_ENOUGH_MEMORY;
}

DWORD HandleValue(HRASCONN conn) {
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(conn));
}

DWORD StopConnection(HRASCONN conn) {
    std::shared_ptr<Connection> connection = Find(conn);
    if (!connection) return ERROR_INVALID_HANDLE;
    if (DWORD error = ScriptedError(SECTION, "HangUpError")) return error;
    connection->hungUp = true;
    SetEvent(connection->stop.Get());
    g_connections.erase(conn);
    return 0;
}

// Journals the call under the lock that event delivery holds, so that the
// journal puts every event before or after the hang-up as it happened.
DWORD HangUp(HRASCONN conn) {
    std::lock_guard<std::mutex> hold(g_lock);
    DWORD result = StopConnection(conn);
    JournalLine("RasHangUpA").Hex("conn", HandleValue(conn)).Result(result).Write();
    return result;
}

DWORD GetConnectStatus(HRASCONN conn, RASCONNSTATUS* status) {
    if (!status) return ERROR_INVALID_PARAMETER;
    if (status->dwSize != sizeof(RASCONNSTATUS)) return ERROR_INVALID_SIZE;
    std::lock_guard<std::mutex> hold(g_lock);
    std::shared_ptr<Connection> connection = Find(conn);
    if (!connection) return ERROR_INVALID_HANDLE;
    if (DWORD error = ScriptedError(SECTION, "ConnectStatusError")) return error;
    std::memset(status, 0, sizeof *status);
    status->dwSize = sizeof *status;
    status->rasconnstate = connection->state;
    status->dwError = connection->error;
    DWORD dropAfter = ScenarioNumber(SECTION, "DropAfter", 0);
    if (connection->connected && dropAfter &&
        GetTickCount() - connection->connectedAt >= dropAfter) {
        status->rasconnstate = RASCS_Disconnected;
        status->dwError = ScenarioNumber(SECTION, "DropError", 0);
    }
    CopyBounded(status->szDeviceType, connection->deviceType.c_str());
    CopyBounded(status->szDeviceName, connection->deviceName.c_str());
    return 0;
}

}  // namespace

extern "C" DWORD WINAPI SimRasDialA(void* extensions, LPCSTR phonebook, RASDIALPARAMS* params,
                                    DWORD notifierType, LPVOID notifier, HRASCONN* conn) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        JournalLine line("RasDialA");
        line.Pointer("extensions", extensions).Text("phonebook", phonebook);
        JournalDialParams(line, params)
            .Hex("notifierType", notifierType)
            .Hex("notifier", static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(notifier)));
        DWORD result = Dial(params, notifierType, notifier, conn);
        line.Result(result);
        if (conn) line.Hex("conn", HandleValue(*conn));
        line.Write();
        return result;
    });
}

extern "C" DWORD WINAPI SimRasHangUpA(HRASCONN conn) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] { return HangUp(conn); });
}

extern "C" DWORD WINAPI SimRasGetConnectStatusA(HRASCONN conn, RASCONNSTATUS* status) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        JournalLine line("RasGetConnectStatusA");
        line.Hex("conn", HandleValue(conn)).Pointer("status", status);
        if (status) line.Number("size", status->dwSize);
        DWORD result = GetConnectStatus(conn, status);
        line.Result(result);
        if (result == 0)
            line.Word("state", NameOf(status->rasconnstate).c_str())
                .Number("error", status->dwError);
        line.Write();
        return result;
    });
}
