// What kitdb verify finds in a database, and what kitdb repair acts on: the
// data file opened for reading only, its records, its index and the files
// of the store's carry-over, each problem with its place and a word on its
// repair.
#ifndef WIN95_TOOLS_KITDB_EXAMINE_H
#define WIN95_TOOLS_KITDB_EXAMINE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database/CDatabaseImp.h"
#include "tools/kitdb/IndexScan.h"
#include "tools/kitdb/Stores.h"

// Damage makes verify exit 1; a note does not.
enum class Severity { kNote, kDamage };

// What kitdb repair does about a finding.
enum class Mend {
    kNone,                // nothing (the words say what does)
    kCutPartial,          // cut off the partial place at the end of the .db
    kClearCurrent,        // current record -1
    kZeroOpenCount,       // the .db's open count 0
    kZeroIndexOpenCount,  // the .idx's open count 0
    kMakeIndex,           // the index made anew
    kRecoverCarryOver,    // the engine's recovery, then the carry-over again
};

struct Finding {
    Severity severity;
    const char* kind;  // a word for scripts: "bad-record-magic", "index-chain", ...
    std::string file;
    std::string place;  // "record 2", "header", "bucket 5, slot 5"; "" for the file
    std::string problem;
    std::string repair;  // what repairs it, in words
    Mend mend = Mend::kNone;
    int64_t offset = -1;  // in the file, where the place has one
};

struct Examination {
    std::string name;
    CarryOverFiles files;
    // name.db opened for reading, or null: why and the CDatabase code.
    std::unique_ptr<CDatabaseImp> imp;
    std::string whyNot;
    int code = 0;
    const Store* store = nullptr;   // the store whose table the file has
    const Store* family = nullptr;  // ... or whose older layout
    uint32_t records = 0;
    uint32_t readable = 0;       // records that read (the ones an index holds)
    uint64_t partialOffset = 0;  // where a partial place at the end starts
    uint64_t partialBytes = 0;
    IndexScan index;
    IndexPlan indexPlan;
    std::vector<Finding> findings;

    int Damage() const;
    bool Needs(Mend mend) const;
    // 0 clean, 1 damaged (also a missing .db that the carry-over recovery
    // gives back), 2 unusable.
    int ExitCode() const;
};

Examination Examine(const std::string& name);

// verify's report: the summary lines (unless only the findings and the
// result are wanted), every finding, the result. The reason of an unusable
// file goes to standard error.
void PrintReport(const Examination& exam, bool findingsOnly = false);
void PrintJsonReport(const Examination& exam);

#endif
