// The database lock natively: a recursive mutex, made and destroyed with the
// first and last user as the DLL's critical section is.
#include <mutex>
#include <new>

#include "database/DatabaseLock.h"

namespace {
alignas(std::recursive_mutex) unsigned char g_storage[sizeof(std::recursive_mutex)];
std::recursive_mutex* g_pMutex = nullptr;
}  // namespace

void DatabaseLock::Create() {
    g_pMutex = new (g_storage) std::recursive_mutex;
}

void DatabaseLock::Delete() {
    g_pMutex->~recursive_mutex();
    g_pMutex = nullptr;
}

void DatabaseLock::Enter() {
    g_pMutex->lock();
}
void DatabaseLock::Leave() {
    g_pMutex->unlock();
}
