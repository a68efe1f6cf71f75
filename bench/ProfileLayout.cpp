#include "bench/ProfileLayout.h"

#include <cstring>

FieldTable ProfileTable() {
    FieldTable table;
    BuildProfileFieldTable(table);
    return table;
}

std::vector<unsigned char> ProfileRecordBytes(uint32_t n) {
    std::vector<unsigned char> bytes(kProfileSize);
    FieldTable table = ProfileTable();
    uint32_t seed = n * 2654435761u + 1;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (uint32_t i = 0; i < table.Count(); ++i) {
        const FieldDescriptor& field = *table.Descriptor(static_cast<int>(i));
        unsigned char* at = bytes.data() + field.offset;
        if (field.type == kFieldText) {
            uint32_t length = 8 + next() % 33;
            for (uint32_t k = 0; k < length; ++k)
                at[k] = static_cast<unsigned char>('a' + next() % 26);
        } else {
            for (uint64_t k = 0; k < FieldByteSize(field.type, field.length); ++k)
                at[k] = static_cast<unsigned char>(next() >> 24);
        }
    }
    uint32_t version = kProfileVersion;
    std::memcpy(bytes.data(), &version, 4);
    return bytes;
}
