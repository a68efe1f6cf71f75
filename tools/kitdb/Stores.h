// The profile and location stores as kitdb sees them: which store a field
// table belongs to, how an index is made anew, the files of a store's
// carry-over (database/FORMAT.md), and the store's own open, which recovers
// an interrupted carry-over and carries an older layout over.
#ifndef WIN95_TOOLS_KITDB_STORES_H
#define WIN95_TOOLS_KITDB_STORES_H

#include <cstdint>
#include <string>
#include <vector>

#include "database/CDatabase.h"
#include "database/StoreCarryOver.h"
#include "tools/kitdb/IndexScan.h"

struct Store {
    const char* name;  // "profile" or "location"
    const StoreLayout* layout;
};

// The store called name, or null.
const Store* StoreNamed(const std::string& name);
// The store whose table this exactly is (its record version, size and
// descriptors), or null.
const Store* StoreOf(const FieldTable& fields);
// StoreOf, or the store whose older layout the table is by its field names
// (a location names LocalNumber, a profile LoginName), or null.
const Store* StoreFamilyOf(const FieldTable& fields);

// How an index is made anew for a database: a store's table gets the
// store's (its key, 101 buckets), another table one on its Description text
// field with the bucket count and key length of the old index when it can
// be read (else 101 buckets and the field's length).
struct IndexPlan {
    bool possible = false;  // false: the table has no Description text field
    uint32_t keyOffset = 0;
    uint32_t keyLength = 0;
    uint32_t buckets = 0;
    std::string how;  // in words
};
IndexPlan PlanIndex(const FieldTable& fields, const IndexScan& old);
// Opens name for writing with any record version; a damaged or missing
// index does not keep the .db file from being opened. A CDatabase code.
int OpenForWriting(CDatabase& database, const std::string& name);

// The files of a store and of its carry-over, and which of them are there.
struct CarryOverFiles {
    std::string db, idx, h00, newDb, newIdx, newH00, old;
    bool hasDb = false, hasIdx = false, hasH00 = false;
    bool hasNewDb = false, hasNewIdx = false, hasNewH00 = false, hasOld = false;
    // N.vNN.db: old data files kept by carry-overs that lost records.
    std::vector<std::string> kept;

    static CarryOverFiles Of(const std::string& name);
    // A carry-over that was interrupted: the store's open finishes or undoes it.
    bool Interrupted() const { return hasOld || hasNewDb || hasNewIdx || hasNewH00; }
    // The paths of every file that is there (store, carry-over), kept files
    // excluded.
    std::vector<std::string> Present() const;
};

// Opens name as the store does (the engine's recovery of an interrupted
// carry-over, the carry-over of an older layout, an index made anew) and
// prints what happened. Refuses, changing nothing, when a carry-over would
// write "database.exp" over a file of that name this run did not write.
// Exit code: 0 done, 1 records were not carried over (an old data file is
// kept), 2 failed.
int OpenAsStore(const std::string& name, const Store& store);

#endif
