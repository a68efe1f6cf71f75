// The library lock: one process-wide, re-entrant critical section, created
// at load and deleted at unload. Every exported object function holds it
// from its start to its return.
#ifndef WIN95_API_LIBRARYLOCK_H
#define WIN95_API_LIBRARYLOCK_H

#include <windows.h>

class LibraryLock {
public:
    static void Create();
    static void Delete();

    // Holds the lock for the guard's scope.
    class Guard {
    public:
        Guard();
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
    };

private:
    static CRITICAL_SECTION s_section;
    static bool s_created;
};

#endif
