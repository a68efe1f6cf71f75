// A data file read as bytes, without the engine's open: its header, the
// descriptors that lie in the file, and the verdict of the engine's checks
// at open with the values that failed them. kitdb dump shows it; the other
// commands name the failed check when the engine refuses a file.
#ifndef WIN95_TOOLS_KITDB_RAWFILE_H
#define WIN95_TOOLS_KITDB_RAWFILE_H

#include <cstdint>
#include <string>
#include <vector>

#include "database/DatabaseFormat.h"

struct RawDataFile {
    bool opened = false;  // false: missing or not readable
    uint64_t size = 0;
    uint32_t headerBytes = 0;  // header bytes in the file: 44, or fewer
    DatabaseHeader header{};   // zeros where the file ends
    // The descriptors that lie whole in the file, at most numberOfFields.
    std::vector<FieldDescriptor> fields;
    // The checks at open, no record version asked: check is "" when they
    // pass, else the one that failed ("header", "magic", "database version",
    // "record size", "areas", "fields"), reason says it with its values and
    // code is the CDatabase code of the refusal.
    std::string check;
    std::string reason;
    int code = 0;
    // Where the records lie, when the header's sizes allow it (only the
    // field check may have failed).
    bool hasLayout = false;
    RecordLayout layout;

    // Record places begun in the file, the last one perhaps partial.
    uint32_t Places() const;
    uint32_t WholePlaces() const;
};

RawDataFile ReadRawDataFile(const std::string& path);
// Reads count bytes at offset of the file at path, fewer at its end.
std::string ReadRawBytes(const std::string& path, uint64_t offset, uint32_t count);

#endif
