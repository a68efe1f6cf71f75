// Helpers of the doubles' own tests: libraries loaded as the dialer loads
// them, a hidden window that collects posted messages, guarded buffers.
#ifndef WIN95_TESTS_DOUBLES_DOUBLESTESTSUPPORT_H
#define WIN95_TESTS_DOUBLES_DOUBLESTESTSUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "dialer/platform/RasTypes.h"

// A DLL loaded by name or path, freed when the object goes.
class Library {
public:
    explicit Library(const std::string& nameOrPath);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    HMODULE Get() const { return m_module; }
    bool Exports(const char* name) const;
    template <typename Function>
    Function Proc(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
    }

private:
    HMODULE m_module;
};

// The phonebook functions under their Windows 95 names.
struct PhonebookApi {
    explicit PhonebookApi(const Library& library);
    RasEnumDevicesFn enumDevices;
    RasGetEntryPropertiesFn getEntryProperties;
    RasSetEntryPropertiesFn setEntryProperties;
    RasValidateEntryNameFn validateEntryName;
    RasDeleteEntryFn deleteEntry;
};

// A folder of variant DLLs beside the test program ("nt", "split", ...),
// with a trailing backslash.
std::string VariantDirectory(const char* variant);

// The message number RAS dial events carry.
UINT RasDialEventMessage();

struct PostedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A hidden window of the calling thread that records the registered
// messages (0xC000 and up) it receives.
class EventWindow {
public:
    EventWindow();
    ~EventWindow();
    EventWindow(const EventWindow&) = delete;
    EventWindow& operator=(const EventWindow&) = delete;

    HWND Handle() const { return m_window; }
    // Dispatches this thread's messages until count messages numbered
    // message have arrived or timeoutMs has passed; returns them all.
    std::vector<PostedMessage> WaitFor(UINT message, size_t count, DWORD timeoutMs);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window;
    std::vector<PostedMessage> m_received;
};

// A buffer of size bytes followed by guard bytes, to show that a callee
// wrote nothing past the size it was given.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t size, BYTE fill = 0);
    BYTE* Data() { return m_bytes.data(); }
    template <typename T>
    T* As() {
        return reinterpret_cast<T*>(m_bytes.data());
    }
    // True when every byte from offset on still holds its initial value
    // (the fill inside the size, the guard pattern after it).
    bool UntouchedFrom(size_t offset) const;

private:
    size_t m_size;
    BYTE m_fill;
    std::vector<BYTE> m_bytes;
};

// A phonebook entry as a caller fills it, on a given modem.
RASENTRY SampleEntry(const char* deviceName);
// Dial parameters for an entry.
RASDIALPARAMS SampleDialParams(const char* entry, const char* user, const char* password);

#endif
