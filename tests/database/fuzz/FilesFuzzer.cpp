// Fuzz target: a .db/.idx pair (the input split at an offset given by its
// first two bytes) opened, read record by record, exported, imported into a
// copy, appended to, re-indexed and given keys.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "tests/database/DatabaseExercise.h"
#include "tests/database/fuzz/FuzzSupport.h"

namespace {

class AbortOnSurprise : public ExerciseReport {
public:
    void Result(const char* step, long result, bool expected) override {
        if (!expected) Finding(step, result);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t split = (data[0] | (data[1] << 8)) % (size - 1);
    const char* bytes = reinterpret_cast<const char*>(data + 2);
    std::string db(bytes, split), idx(bytes + split, size - 2 - split);
    AbortOnSurprise report;
    ExerciseDatabaseFiles(FuzzScratch() + "/pair", db, idx, report);
    return 0;
}
