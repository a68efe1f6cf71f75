// Reads a .idx file whole and walks its bucket chains: the statistics kitdb
// info shows and every problem kitdb verify reports.
#ifndef WIN95_TOOLS_KITDB_INDEXSCAN_H
#define WIN95_TOOLS_KITDB_INDEXSCAN_H

#include <cstdint>
#include <string>
#include <vector>

#include "database/CDatabaseImp.h"
#include "database/DatabaseFormat.h"

struct IndexScan {
    // False when the file cannot be read or its header is unusable; why is
    // in problems.
    bool readable = false;
    IndexHeader header{};
    uint64_t fileSize = 0;
    uint32_t slots = 0;  // whole slots in the file
    uint32_t bucketsUsed = 0;
    uint32_t longestChain = 0;
    uint32_t keys = 0;
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
