// The profile store's record layout (9466 bytes, 49 fields, record version
// 57, the store's own table) and profile records with every field holding a
// value, for the benchmarks: the records the engine carries most.
#ifndef WIN95_BENCH_PROFILELAYOUT_H
#define WIN95_BENCH_PROFILELAYOUT_H

#include <win95/Records.h>

#include <cstdint>
#include <vector>

#include "database/FieldTable.h"
#include "database/ProfileDatabase.h"

constexpr uint32_t kProfileSize = sizeof(ProfileRecord);
constexpr uint32_t kProfileVersion = kProfileRecordVersion;

FieldTable ProfileTable();
// Record number n: texts of 8 to 40 printable characters, numbers and
// addresses that differ from record to record.
std::vector<unsigned char> ProfileRecordBytes(uint32_t n);

#endif
