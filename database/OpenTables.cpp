#include "database/OpenTables.h"

#include <cstring>

#include "diag/BoundedCopy.h"

namespace {
OpenDatabaseTable g_databases;
OpenIndexTable g_indexes;
}  // namespace

OpenDatabaseTable& TheOpenDatabaseTable() {
    return g_databases;
}
OpenIndexTable& TheOpenIndexTable() {
    return g_indexes;
}

template <typename Object>
int OpenFileTable<Object>::Find(const char* path) const {
    if (!path) return -1;
    for (int i = 0; i < kEntries; ++i) {
        const Entry& entry = m_Entries[i];
        if (entry.pObject && std::strncmp(entry.path, path, kPathSize) == 0) return i;
    }
    return -1;
}

template <typename Object>
Object* OpenFileTable<Object>::Lookup(const char* path, uint32_t* recordVersion) {
    int i = Find(path);
    if (i < 0) return nullptr;
    ++m_Entries[i].references;
    if (recordVersion) *recordVersion = m_Entries[i].recordVersion;
    return m_Entries[i].pObject;
}

template <typename Object>
bool OpenFileTable<Object>::Add(const char* path, Object* object, uint32_t recordVersion) {
    for (Entry& entry : m_Entries) {
        if (entry.pObject) continue;
        entry.pObject = object;
        entry.recordVersion = recordVersion;
        CopyBounded(entry.path, path);
        entry.references = 1;
        return true;
    }
    return false;
}

template <typename Object>
uint32_t OpenFileTable<Object>::Release(const Object* object) {
    for (Entry& entry : m_Entries) {
        if (!object || entry.pObject != object) continue;
        if (--entry.references == 0) entry = Entry{};
        return entry.references;
    }
    return 0;
}

template <typename Object>
uint32_t OpenFileTable<Object>::References(const char* path) const {
    int i = Find(path);
    return i < 0 ? 0 : m_Entries[i].references;
}

template class OpenFileTable<CDatabaseImp>;
template class OpenFileTable<CDatabaseIndex>;
