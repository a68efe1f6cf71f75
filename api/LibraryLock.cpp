#include "api/LibraryLock.h"

CRITICAL_SECTION LibraryLock::s_section;
bool LibraryLock::s_created = false;

void LibraryLock::Create() {
    if (s_created) return;
    InitializeCriticalSection(&s_section);
    s_created = true;
}

void LibraryLock::Delete() {
    if (!s_created) return;
    s_created = false;
    DeleteCriticalSection(&s_section);
}

// A call that arrives when the lock does not exist (before load completed or
// after unload began) runs unlocked rather than touching a dead section.
LibraryLock::Guard::Guard() {
    if (s_created) EnterCriticalSection(&s_section);
}

LibraryLock::Guard::~Guard() {
    if (s_created) LeaveCriticalSection(&s_section);
}
