// The database lock in the DLL: a critical section, which the owning thread
// may enter again.
#include <windows.h>

#include "database/DatabaseLock.h"

namespace {
CRITICAL_SECTION g_section;
}

void DatabaseLock::Create() {
    InitializeCriticalSection(&g_section);
}
void DatabaseLock::Delete() {
    DeleteCriticalSection(&g_section);
}
void DatabaseLock::Enter() {
    EnterCriticalSection(&g_section);
}
void DatabaseLock::Leave() {
    LeaveCriticalSection(&g_section);
}
