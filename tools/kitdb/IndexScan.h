// Reads a .idx file whole and walks its bucket chains: the statistics kitdb
// info shows and every problem kitdb verify reports.
#ifndef WIN95_TOOLS_KITDB_INDEXSCAN_H
#define WIN95_TOOLS_KITDB_INDEXSCAN_H

#include <cstdint>
#include <string>
#include <vector>

#include "database/CDatabaseImp.h"
#include "database/DatabaseFormat.h"

// What an index file's header allows, in the order of the engine's checks.
enum class IndexState {
    kReadable,
    kMissing,     // no file
    kUnreadable,  // cannot be opened for reading or read, or an impossible size
    kUnsealed,    // magic 0: a change of it was interrupted
    kNotAnIndex,  // another magic
    kVersion,     // not 47
    kImpossible,  // key type, slot size or bucket count, or the bucket heads not in the file
};

struct IndexScan {
    IndexState state = IndexState::kMissing;
    // Whether the slots could be walked; when not, why is the first problem.
    bool readable = false;
    IndexHeader header{};
    uint64_t fileSize = 0;
    uint32_t slots = 0;  // whole slots in the file
    uint32_t bucketsUsed = 0;
    uint32_t longestChain = 0;
    uint32_t keys = 0;
    // The header's problem first when not readable, then every chain
    // problem.
    std::vector<std::string> problems;
};

// Scans path against the open database: every chain must stay inside the
// file, end without a loop, and point at readable records whose key (the
// text at keyOffset; -1 skips that check) is the slot's key and hashes to
// the chain's bucket.
IndexScan ScanIndex(const std::string& path, CDatabaseImp& imp, int64_t keyOffset);

// The key offset of the stores' index: the "Description" text field's, or -1.
int64_t KeyOffsetOf(const FieldTable& fields);

#endif
