// The process-wide table of dialers with a dial in progress: five entries,
// each a dialer and its notification window.
//
// The table has a lock of its own. Whoever holds it may use a dialer found
// in the table: a dialer leaves the table under the lock before it is
// destroyed. The lock is held only for short work on the dialer (RAS status
// queries, the speed lookup, posting a status); never across a wait, a
// window's destruction or anything else that waits for another thread, so
// it cannot deadlock with the library lock, which may be held while
// waiting for it. The lock is made on first use and deleted at unload.
#ifndef WIN95_DIALER_ACTIVEDIALERS_H
#define WIN95_DIALER_ACTIVEDIALERS_H

#include <windows.h>

class Win95Dialer;

class ActiveDialers {
public:
    enum { kCapacity = 5 };

    // Holds the table lock for its scope (re-entrant for its thread).
    class Guard {
    public:
        Guard();
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
    };

    // The following need the lock held.
    // Takes a free entry for the dialer, with no window yet; false when all
    // entries are taken. A dialer holds at most one entry: the caller makes
    // sure it has none.
    static bool Add(Win95Dialer* dialer);
    static void SetWindow(Win95Dialer* dialer, HWND window);
    static void Remove(Win95Dialer* dialer);
    static Win95Dialer* Find(HWND window);
    static unsigned Count();

    // At unload, once no dialer is left.
    static void DeleteLock();
};

#endif
