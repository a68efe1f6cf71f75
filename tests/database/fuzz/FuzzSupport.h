// What the fuzz targets share: a scratch directory, made once per process in
// memory-backed storage when there is some, and the layout of the seeds.
#ifndef WIN95_TESTS_DATABASE_FUZZ_FUZZSUPPORT_H
#define WIN95_TESTS_DATABASE_FUZZ_FUZZSUPPORT_H

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "database/FieldTable.h"

// Under $TMPDIR when set (make fuzz gives each run its own and removes it).
inline const std::string& FuzzScratch() {
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        struct stat status;
        if (!base) base = stat("/dev/shm", &status) == 0 ? "/dev/shm" : "/tmp";
        std::string dir = std::string(base) + "/win95-fuzz-" + std::to_string(getpid());
        mkdir(dir.c_str(), 0700);
        return dir;
    }();
    return path;
}

// The fields of the databases the seeds come from (SeedMaker.cpp), 40 bytes.
inline void AddSeedFields(FieldTable& table) {
    table.AddField("Version", "This field must always be 57", kFieldLong, 1, 0);
    table.AddField("Description", "", kFieldText, 12, 4);
    table.AddField("DnsAddr1", "", kFieldBytes, 4, 16);
    table.AddField("ConnectionType", "", kFieldShort, 1, 20);
    table.AddField("ProfileId", "", kFieldLong, 1, 24);
    table.AddField("Wide", "", kFieldEight, 1, 28);
}

// A result the engine may not give at that point is a finding.
[[noreturn]] inline void Finding(const char* step, long result) {
    fprintf(stderr, "unexpected result at %s: %ld\n", step, result);
    std::abort();
}

#endif
