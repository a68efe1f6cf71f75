#include "dialer/ActiveDialers.h"

#include <atomic>

namespace {

struct Entry {
    Win95Dialer* dialer;
    HWND window;
};

Entry g_entries[ActiveDialers::kCapacity];

// The lock: a critical section made by the first thread that needs it (the
// state is constant-initialised, so it is valid before any constructor
// runs). 0 none, 1 being made, 2 made.
CRITICAL_SECTION g_section;
std::atomic<int> g_lockState{0};

void EnterLock() {
    if (g_lockState.load(std::memory_order_acquire) != 2) {
        int none = 0;
        if (g_lockState.compare_exchange_strong(none, 1, std::memory_order_acq_rel)) {
            InitializeCriticalSection(&g_section);
            g_lockState.store(2, std::memory_order_release);
        } else {
            while (g_lockState.load(std::memory_order_acquire) != 2) Sleep(0);
        }
    }
    EnterCriticalSection(&g_section);
}

}  // namespace

ActiveDialers::Guard::Guard() {
    EnterLock();
}

ActiveDialers::Guard::~Guard() {
    LeaveCriticalSection(&g_section);
}

bool ActiveDialers::Add(Win95Dialer* dialer) {
    for (Entry& entry : g_entries) {
        if (!entry.dialer) {
            entry.dialer = dialer;
            entry.window = nullptr;
            return true;
        }
    }
    return false;
}

void ActiveDialers::SetWindow(Win95Dialer* dialer, HWND window) {
    for (Entry& entry : g_entries)
        if (entry.dialer == dialer) entry.window = window;
}

void ActiveDialers::Remove(Win95Dialer* dialer) {
    for (Entry& entry : g_entries) {
        if (entry.dialer == dialer) {
            entry.dialer = nullptr;
            entry.window = nullptr;
        }
    }
}

Win95Dialer* ActiveDialers::Find(HWND window) {
    if (!window) return nullptr;
    for (const Entry& entry : g_entries)
        if (entry.dialer && entry.window == window) return entry.dialer;
    return nullptr;
}

unsigned ActiveDialers::Count() {
    unsigned count = 0;
    for (const Entry& entry : g_entries)
        if (entry.dialer) ++count;
    return count;
}

void ActiveDialers::DeleteLock() {
    int made = 2;
    if (g_lockState.compare_exchange_strong(made, 0, std::memory_order_acq_rel))
        DeleteCriticalSection(&g_section);
}
