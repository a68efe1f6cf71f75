// The profile store's record layout (9466 bytes, 49 fields, record version
// 57) and profile records with every field holding a value, for the
// benchmarks: the records the engine carries most.
#ifndef WIN95_BENCH_PROFILELAYOUT_H
#define WIN95_BENCH_PROFILELAYOUT_H

#include <cstdint>
#include <vector>

#include "database/FieldTable.h"

constexpr uint32_t kProfileSize = 9466;
constexpr uint32_t kProfileVersion = 57;

FieldTable ProfileTable();
// Record number n: texts of 8 to 40 printable characters, numbers and
// addresses that differ from record to record.
std::vector<unsigned char> ProfileRecordBytes(uint32_t n);

#endif
