#include "tests/support/DebugMonitor.h"

DebugMonitor::DebugMonitor() {
    m_bufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    m_dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    m_mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
    if (!m_bufferReady || !m_dataReady || !m_mapping) return;
    m_view = static_cast<char*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 4096));
    if (m_view) m_thread = std::thread([this] { Run(); });
}

DebugMonitor::~DebugMonitor() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_view) UnmapViewOfFile(m_view);
    for (HANDLE handle : {m_mapping, m_dataReady, m_bufferReady})
        if (handle) CloseHandle(handle);
}

void DebugMonitor::Run() {
    SetEvent(m_bufferReady);
    while (!m_stop) {
        if (WaitForSingleObject(m_dataReady, 20) != WAIT_OBJECT_0) continue;
        DWORD pid = *reinterpret_cast<const DWORD*>(m_view);
        if (pid == GetCurrentProcessId()) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_text.append(m_view + sizeof(DWORD), strnlen(m_view + sizeof(DWORD), 4092));
        }
        SetEvent(m_bufferReady);
    }
}

std::string DebugMonitor::Take() {
    // OutputDebugStringA returns once the text is in the buffer; give the
    // monitor thread time to pick up the last one.
    Sleep(100);
    std::lock_guard<std::mutex> guard(m_lock);
    std::string text;
    text.swap(m_text);
    return text;
}
