// OpenDatabaseTable and OpenIndexTable: the process-wide tables through which
// CDatabase objects naming the same files share one CDatabaseImp and one
// CDatabaseIndex. 50 entries each; an entry holds the object, its path (512
// characters), a reference count and, for databases, the record version the
// first opener asked for. Paths are compared exactly (case-sensitive).
//
// When every entry is taken, an object is simply not shared. The tables take
// no lock: callers that open and close from several threads serialise that
// themselves.
#ifndef WIN95_DATABASE_OPENTABLES_H
#define WIN95_DATABASE_OPENTABLES_H

#include <cstdint>

#include "database/DatabaseFormat.h"

class CDatabaseImp;
class CDatabaseIndex;

template <typename Object>
class OpenFileTable {
public:
    static constexpr int kEntries = 50;

    // The object of the first entry with the path, its reference count raised
    // (and the entry's record version in *recordVersion), or null.
    Object* Lookup(const char* path, uint32_t* recordVersion = nullptr);
    // Records the object under the path with one reference in the first free
    // entry; false when none is free.
    bool Add(const char* path, Object* object, uint32_t recordVersion = 0);
    // Drops one reference of the entry holding the object and clears the
    // entry at 0. The references left; 0 also for an object in no entry.
    uint32_t Release(const Object* object);
    // References of the path's entry, 0 when there is none.
    uint32_t References(const char* path) const;

private:
    struct Entry {
        Object* pObject;
        uint32_t recordVersion;
        char path[kPathSize];
        uint32_t references;
    };
    int Find(const char* path) const;

    Entry m_Entries[kEntries];
};

using OpenDatabaseTable = OpenFileTable<CDatabaseImp>;
using OpenIndexTable = OpenFileTable<CDatabaseIndex>;

// The process's two tables, zero-initialised before any code runs.
OpenDatabaseTable& TheOpenDatabaseTable();
OpenIndexTable& TheOpenIndexTable();

#endif
