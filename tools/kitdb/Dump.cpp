// kitdb dump: the bytes of a data file as the engine reads them, also when
// the engine refuses the file: the header, every field descriptor and the
// record places as fields and as hex with their file offsets, and which of
// the engine's checks at open fails, with its values. Reads only.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "tools/kitdb/Json.h"
#include "tools/kitdb/RawFile.h"
#include "tools/kitdb/Tool.h"

namespace {

// 16 bytes a line: offset, hex, characters.
void PrintHex(const std::string& bytes, uint64_t offset) {
    for (size_t line = 0; line < bytes.size(); line += 16) {
        std::printf("  %08" PRIx64 " ", offset + line);
        std::string text;
        for (size_t k = 0; k < 16; ++k) {
            if (k == 8) std::printf(" ");
            if (line + k < bytes.size()) {
                unsigned char c = static_cast<unsigned char>(bytes[line + k]);
                std::printf(" %02x", c);
                text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '.';
            } else {
                std::printf("   ");
            }
        }
        std::printf("  %s\n", text.c_str());
    }
}

std::string HexText(const std::string& bytes) {
    std::string out;
    char pair[4];
    for (unsigned char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", c);
        out += pair;
    }
    return out;
}

std::string BytesOf(const void* data, size_t size) {
    return std::string(static_cast<const char*>(data), size);
}

struct HeaderValue {
    const char* label;
    const char* key;
    int64_t value;
};

std::vector<HeaderValue> HeaderValues(const DatabaseHeader& h) {
    return {{"magic", "magic", h.magic},
            {"database id", "databaseId", h.databaseId},
            {"database flags", "databaseFlags", h.databaseFlags},
            {"database version", "databaseVersion", h.databaseVersion},
            {"record version", "recordVersion", h.recordVersion},
            {"record size", "recordSize", h.recordSize},
            {"current record", "currentRecord", h.currentRecord},
            {"number of fields", "numberOfFields", h.numberOfFields},
            {"reserved", "reserved", h.reserved},
            {"open count", "openCount", h.openCount},
            {"private size", "privateSize", h.privateSize}};
}

uint64_t FieldAt(const RawDataFile& raw, size_t i) {
    return sizeof(DatabaseHeader) + uint64_t{raw.header.privateSize} + i * sizeof(FieldDescriptor);
}

// A record place: its header and, by the table, its state.
struct Place {
    uint32_t number;
    uint64_t offset;
    std::string bytes;  // the whole place, or what the file has of it
    RecordHeader header{};
    const char* state;  // readable, bad-record-magic, removed, partial
};

Place ReadPlace(const std::string& path, const RawDataFile& raw, uint32_t number, bool whole) {
    Place place{number, raw.layout.Offset(number), "", {}, "readable"};
    place.bytes = ReadRawBytes(path, place.offset,
                               whole ? static_cast<uint32_t>(raw.layout.placeSize)
                                     : static_cast<uint32_t>(sizeof(RecordHeader)));
    std::memcpy(
        &place.header, place.bytes.data(),
        place.bytes.size() < sizeof place.header ? place.bytes.size() : sizeof place.header);
    if (number >= raw.WholePlaces())
        place.state = "partial";
    else if (place.header.magic != kRecordMagic)
        place.state = "bad-record-magic";
    else if (place.header.removed == 1)
        place.state = "removed";
    return place;
}

std::string PlaceSummary(const Place& place) {
    if (std::strcmp(place.state, "partial") == 0)
        return "a partial place of " + std::to_string(place.bytes.size()) +
               " bytes at the end (no record)";
    std::string text =
        "magic " + Hex32(place.header.magic) + ", removed " + std::to_string(place.header.removed);
    if (std::strcmp(place.state, "bad-record-magic") == 0) text += ": bad record magic";
    if (std::strcmp(place.state, "removed") == 0) text += ": marked removed";
    return text;
}

class Dumper {
public:
    Dumper(const std::string& path, const RawDataFile& raw, bool json)
        : m_Path(path), m_Raw(raw), m_bJson(json) {}

    void Begin() {
        if (m_bJson) {
            m_Json.Object().Text("file", m_Path).Number("size", static_cast<int64_t>(m_Raw.size));
            return;
        }
        std::printf("File %s, %" PRIu64 " bytes\n", m_Path.c_str(), m_Raw.size);
    }

    void Header() {
        const std::string bytes = BytesOf(&m_Raw.header, m_Raw.headerBytes);
        if (m_bJson) {
            m_Json.Object("header").Number("offset", 0).Number("size", m_Raw.headerBytes);
            for (const HeaderValue& value : HeaderValues(m_Raw.header))
                m_Json.Number(value.key, value.value);
            m_Json.Text("bytes", HexText(bytes)).End();
            m_Json.Object("check").Flag("passed", m_Raw.check.empty());
            if (!m_Raw.check.empty())
                m_Json.Text("failed", m_Raw.check)
                    .Text("reason", m_Raw.reason)
                    .Number("code", m_Raw.code);
            m_Json.End();
            return;
        }
        std::printf("Header at offset 0 (%" PRIu32 " of 44 bytes in the file):\n",
                    m_Raw.headerBytes);
        for (const HeaderValue& value : HeaderValues(m_Raw.header)) {
            std::string shown = value.key == std::string("magic")
                                    ? Hex32(static_cast<uint32_t>(value.value))
                                    : std::to_string(value.value);
            std::printf("  %-17s %s\n", value.label, shown.c_str());
        }
        PrintHex(bytes, 0);
        if (m_Raw.check.empty())
            std::printf("The engine's checks at open: passed\n");
        else
            std::printf("The engine's checks at open: refused at the %s check (code %d): %s\n",
                        m_Raw.check.c_str(), m_Raw.code, m_Raw.reason.c_str());
    }

    void Fields() {
        if (m_bJson) {
            m_Json.Array("fields");
        } else {
            std::printf("Field descriptors (%zu of %" PRIu32 " in the file, from offset %" PRIu64
                        "):\n",
                        m_Raw.fields.size(), m_Raw.header.numberOfFields, FieldAt(m_Raw, 0));
        }
        for (size_t i = 0; i < m_Raw.fields.size(); ++i) {
            const FieldDescriptor& field = m_Raw.fields[i];
            const std::string bytes = BytesOf(&field, sizeof field);
            const std::string name = FieldName(field);
            const std::string comment = FixedText(field.comment, sizeof field.comment);
            if (m_bJson) {
                m_Json.Object()
                    .Number("number", static_cast<int64_t>(i))
                    .Number("offset", static_cast<int64_t>(FieldAt(m_Raw, i)))
                    .Number("flags", field.flags)
                    .Number("type", field.type)
                    .Number("length", field.length)
                    .Number("fieldOffset", field.offset)
                    .Number("index", field.index)
                    .Text("name", name)
                    .Text("comment", comment)
                    .Text("bytes", HexText(bytes))
                    .End();
                continue;
            }
            std::printf("  field %zu at offset %" PRIu64 ": flags %" PRIu32 ", type %" PRIu32
                        ", length %" PRIu32 ", offset %" PRIu32 ", index %" PRIu32
                        ", name \"%s\", comment \"%s\"\n",
                        i, FieldAt(m_Raw, i), field.flags, field.type, field.length, field.offset,
                        field.index, Printable(name).c_str(), Printable(comment).c_str());
            PrintHex(bytes, FieldAt(m_Raw, i));
        }
        if (m_bJson) m_Json.End();
    }

    void Records() {
        if (!m_Raw.hasLayout) {
            if (!m_bJson) std::printf("Records: none can be found with this header\n");
            return;
        }
        const uint32_t places = m_Raw.Places();
        if (m_bJson)
            m_Json.Array("records");
        else
            std::printf("Records (%" PRIu32 " places of %" PRIu64 " bytes from offset %" PRIu64
                        "):\n",
                        m_Raw.WholePlaces(), m_Raw.layout.placeSize, m_Raw.layout.dataStart);
        for (uint32_t n = 0; n < places; ++n) {
            Place place = ReadPlace(m_Path, m_Raw, n, n >= m_Raw.WholePlaces());
            if (m_bJson) {
                m_Json.Object()
                    .Number("number", n)
                    .Number("offset", static_cast<int64_t>(place.offset))
                    .Number("magic", place.header.magic)
                    .Number("removed", place.header.removed)
                    .Text("state", place.state)
                    .End();
                continue;
            }
            std::printf("  record %" PRIu32 " at offset %" PRIu64 ": %s\n", n, place.offset,
                        PlaceSummary(place).c_str());
        }
        if (m_bJson) m_Json.End();
    }

    // False when the file has no such place.
    bool Record(uint32_t number) {
        if (!m_Raw.hasLayout || number >= m_Raw.Places()) return false;
        Place place = ReadPlace(m_Path, m_Raw, number, true);
        const bool partial = std::strcmp(place.state, "partial") == 0;
        FieldTable fields;
        fields.Init(m_Raw.header.recordSize, m_Raw.header.recordVersion);
        for (const FieldDescriptor& field : m_Raw.fields) fields.AddDescriptor(field);
        const bool showFields =
            !partial && fields.FieldsFitRecord() && fields.Count() == m_Raw.header.numberOfFields;
        const unsigned char* data =
            reinterpret_cast<const unsigned char*>(place.bytes.data()) + sizeof(RecordHeader);
        if (m_bJson) {
            m_Json.Object("record")
                .Number("number", number)
                .Number("offset", static_cast<int64_t>(place.offset))
                .Number("size", static_cast<int64_t>(place.bytes.size()))
                .Number("magic", place.header.magic)
                .Number("removed", place.header.removed)
                .Text("state", place.state)
                .Array("fields");
        } else {
            std::printf("Record %" PRIu32 " at offset %" PRIu64 ", %zu bytes: %s\n", number,
                        place.offset, place.bytes.size(), PlaceSummary(place).c_str());
            if (showFields) std::printf("Fields:\n");
        }
        for (uint32_t i = 0; showFields && i < fields.Count(); ++i) {
            const FieldDescriptor& field = *fields.Descriptor(static_cast<int>(i));
            const uint64_t at = place.offset + sizeof(RecordHeader) + field.offset;
            if (m_bJson) {
                m_Json.Object()
                    .Text("name", FieldName(field))
                    .Number("offset", static_cast<int64_t>(at))
                    .Text("value", FieldValue(field, data))
                    .End();
                continue;
            }
            std::printf("  %s (type %" PRIu32 ", length %" PRIu32 ", at offset %" PRIu64 ") = %s\n",
                        Printable(FieldName(field)).c_str(), field.type, field.length, at,
                        FieldValue(field, data).c_str());
        }
        if (m_bJson) {
            m_Json.End().Text("bytes", HexText(place.bytes)).End();
        } else {
            std::printf("Bytes:\n");
            PrintHex(place.bytes, place.offset);
        }
        return true;
    }

    void End() {
        if (m_bJson) m_Json.End().Print(stdout);
    }

private:
    const std::string& m_Path;
    const RawDataFile& m_Raw;
    bool m_bJson;
    JsonWriter m_Json;
};

}  // namespace

int Dump(const std::string& name, DumpPart part, const char* record, bool json) {
    const std::string path = name + ".db";
    RawDataFile raw = ReadRawDataFile(path);
    if (!raw.opened)
        return FailWith(path + (DatabaseFileExists(path.c_str()) ? ": cannot be opened for reading"
                                                                 : ": is missing"));
    int64_t number = -1;
    if (part == DumpPart::kRecord) {
        char* end = nullptr;
        number = record ? std::strtoll(record, &end, 10) : -1;
        if (!record || !*record || *end || number < 0)
            return FailWith("\"" + std::string(record ? record : "") + "\" is no record number");
    }
    Dumper dumper(path, raw, json);
    dumper.Begin();
    if (part != DumpPart::kRecord) dumper.Header();
    if (part == DumpPart::kAll) {
        dumper.Fields();
        dumper.Records();
    }
    if (part == DumpPart::kRecord &&
        (number > UINT32_MAX || !dumper.Record(static_cast<uint32_t>(number)))) {
        dumper.End();
        return FailWith(path + ": no record place " + std::to_string(number) +
                        (raw.hasLayout ? " (there are " + std::to_string(raw.Places()) + ")"
                                       : " can be found: " + raw.reason));
    }
    dumper.End();
    return raw.check.empty() ? kExitOk : kExitFailed;
}
