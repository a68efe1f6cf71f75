#include "tools/kitdb/RawFile.h"

#include <cstring>
#include <memory>

#include "database/CDatabaseFile.h"
#include "database/FieldTable.h"
#include "tools/kitdb/Tool.h"

namespace {

constexpr int kNotADatabase = EncodeDBError(DB_NOT_A_DATABASE);

void Refuse(RawDataFile& raw, const char* check, const std::string& reason,
            int code = kNotADatabase) {
    raw.check = check;
    raw.reason = reason;
    raw.code = code;
}

// The last check at open: every field's bytes inside the record.
void CheckFields(RawDataFile& raw) {
    FieldTable table;
    if (!table.Init(raw.header.recordSize, raw.header.recordVersion)) return;
    for (const FieldDescriptor& field : raw.fields) table.AddDescriptor(field);
    int outside = table.FirstFieldOutsideRecord();
    if (outside < 0) return;
    const FieldDescriptor& field = raw.fields[static_cast<size_t>(outside)];
    Refuse(raw, "fields",
           "field " + std::to_string(outside) + " (" + Printable(FieldName(field)) +
               ") takes bytes " + std::to_string(field.offset) + " to " +
               std::to_string(field.offset + FieldByteSize(field.type, field.length)) +
               " of the record, beyond its " + std::to_string(raw.header.recordSize) + " bytes");
}

void CheckHeader(RawDataFile& raw) {
    const DatabaseHeader& h = raw.header;
    if (raw.headerBytes < sizeof h) {
        Refuse(raw, "header",
               "the file has " + std::to_string(raw.size) + " bytes, fewer than a header's 44");
        return;
    }
    const RecordLayout layout = RecordLayout::Of(h.privateSize, h.numberOfFields, h.recordSize);
    switch (CheckDatabaseHeader(h, raw.size, 0)) {
        case HeaderCheck::kMagic:
            Refuse(raw, "magic",
                   "the magic is " + Hex32(h.magic) + ", not " + Hex32(kDatabaseMagic));
            return;
        case HeaderCheck::kDatabaseVersion:
            Refuse(raw, "database version",
                   "the database version is " + std::to_string(h.databaseVersion) + ", not 52",
                   EncodeDBError(DB_WRONG_DB_VERSION));
            return;
        case HeaderCheck::kRecordSize:
            Refuse(raw, "record size",
                   "the record size " + std::to_string(h.recordSize) + " is not from 1 to " +
                       std::to_string(kMaxRecordSize));
            return;
        case HeaderCheck::kAreas:
            Refuse(raw, "areas",
                   "the header, " + std::to_string(h.privateSize) + " bytes of private data and " +
                       std::to_string(h.numberOfFields) + " field descriptors end at byte " +
                       std::to_string(layout.dataStart) + ", beyond the file's " +
                       std::to_string(raw.size) + " bytes");
            return;
        default:
            break;
    }
    raw.hasLayout = true;
    raw.layout = layout;
    CheckFields(raw);
}

}  // namespace

uint32_t RawDataFile::WholePlaces() const {
    return hasLayout ? layout.Count(size) : 0;
}

uint32_t RawDataFile::Places() const {
    if (!hasLayout || size <= layout.dataStart) return 0;
    return WholePlaces() + ((size - layout.dataStart) % layout.placeSize ? 1 : 0);
}

RawDataFile ReadRawDataFile(const std::string& path) {
    RawDataFile raw;
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file || !file->Open(path.c_str(), CDatabaseFile::kReadOnly)) return raw;
    long size = file->GetSize();
    if (size < 0) return raw;
    raw.opened = true;
    raw.size = static_cast<uint64_t>(size);
    raw.headerBytes = raw.size < sizeof raw.header ? static_cast<uint32_t>(raw.size)
                                                   : static_cast<uint32_t>(sizeof raw.header);
    if (!file->ReadAt(0, &raw.header, raw.headerBytes)) raw.headerBytes = 0;
    const uint64_t start = sizeof raw.header + uint64_t{raw.header.privateSize};
    uint64_t fit = raw.size > start ? (raw.size - start) / sizeof(FieldDescriptor) : 0;
    if (fit > raw.header.numberOfFields) fit = raw.header.numberOfFields;
    raw.fields.resize(static_cast<size_t>(fit));
    if (fit && !file->ReadAt(start, raw.fields.data(),
                             static_cast<uint32_t>(fit * sizeof(FieldDescriptor))))
        raw.fields.clear();
    CheckHeader(raw);
    return raw;
}

std::string ReadRawBytes(const std::string& path, uint64_t offset, uint32_t count) {
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file || !file->Open(path.c_str(), CDatabaseFile::kReadOnly)) return "";
    long size = file->GetSize();
    if (size < 0 || offset >= static_cast<uint64_t>(size)) return "";
    if (offset + count > static_cast<uint64_t>(size))
        count = static_cast<uint32_t>(static_cast<uint64_t>(size) - offset);
    std::string bytes(count, '\0');
    return file->ReadAt(offset, bytes.data(), count) ? bytes : "";
}
