// Captures what this process passes to OutputDebugStringA, the way a system
// debug monitor does: through the "DBWIN_BUFFER" shared buffer and its two
// events, which OutputDebugStringA fills when no debugger is attached.
#ifndef WIN95_TESTS_DEBUGMONITOR_H
#define WIN95_TESTS_DEBUGMONITOR_H

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>

class DebugMonitor {
public:
    DebugMonitor();
    ~DebugMonitor();
    DebugMonitor(const DebugMonitor&) = delete;
    DebugMonitor& operator=(const DebugMonitor&) = delete;

    // False when the shared objects could not be made (another monitor runs).
    bool Active() const { return m_view != nullptr; }
    // Everything this process sent since the last Take, in order.
    std::string Take();

private:
    void Run();

    HANDLE m_bufferReady = nullptr;
    HANDLE m_dataReady = nullptr;
    HANDLE m_mapping = nullptr;
    char* m_view = nullptr;
    bool m_stop = false;
    std::mutex m_lock;
    std::string m_text;
    std::thread m_thread;
};

#endif
