// The demo's view of a dial: a window of its own that receives the dialer's
// status messages and prints each as it arrives, in words.
#ifndef WIN95_TOOLS_DEMO_DIALSTATUS_H
#define WIN95_TOOLS_DEMO_DIALSTATUS_H

#include <windows.h>

class DialStatusWindow {
public:
    // Registers the window class and the status message; Window() is null
    // when the window cannot be made.
    DialStatusWindow();
    ~DialStatusWindow();
    DialStatusWindow(const DialStatusWindow&) = delete;
    DialStatusWindow& operator=(const DialStatusWindow&) = delete;

    HWND Window() const { return m_window; }
    UINT Message() const;

    // Runs this thread's messages until the dialer posts one of the two
    // statuses or the time is up; false on time-out.
    bool WaitFor(DWORD status, DWORD orElse, DWORD timeoutMs);

private:
    HWND m_window;
};

// Prints a status and its detail in words ("connected at 28800 bit/s").
void PrintDialStatus(DWORD status, DWORD detail);

#endif
