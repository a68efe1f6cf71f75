#include "tools/kitdb/Tool.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "tools/kitdb/RawFile.h"

namespace {

struct CodeText {
    int code;
    const char* text;
};

const CodeText kReasons[] = {
    {-2, "out of memory"},
    {-3, "cannot be opened (missing, read-only, or in use)"},
    {-4, "cannot be created"},
    {-5, "a record has a bad record magic"},
    {-6, "no such record"},
    {-7, "the buffer is not of the record size"},
    {-8, "the record is marked removed"},
    {-13, "the store's field table could not be built"},
    {-14, "the database version is not 52"},
    {-15, "the record version differs from the one asked for"},
    {-16, "the database is open elsewhere"},
    {-17, "not a database file (wrong magic or an impossible header)"},
    {-18, "no database is open"},
    {-19, "a write, rename or removal failed (disk full, read-only, or in use?)"},
    {-65536, "out of memory for the index"},
    {-258, "the index file cannot be opened (missing, read-only, or in use)"},
    {-260, "the index file cannot be created"},
    {-262, "the index parameters are impossible"},
    {-263, "the index version is not 47"},
    {-264, "the index is not open"},
    {-265, "the index file is damaged (wrong magic, unsealed, or an impossible header)"},
    {-266, "the index is open elsewhere"},
    {-267, "an index write failed or came short (disk full?)"},
    {kAttachmentFailed, "the attachment file cannot be written"},
};

// Element k of a field, little-endian, of size bytes (1 to 8).
uint64_t Element(const unsigned char* field, uint32_t k, uint32_t size) {
    uint64_t value = 0;
    std::memcpy(&value, field + uint64_t{k} * size, size);
    return value;
}

}  // namespace

std::string Reason(int code, bool forText) {
    if (forText && code == -2) return "the text ends before or inside its records section";
    if (forText && code == -3) return "the text file cannot be opened";
    if (forText && code == -4) return "the text file cannot be created";
    for (const CodeText& reason : kReasons)
        if (reason.code == code) return reason.text;
    return "failed";
}

int Fail(const std::string& file, int code, bool forText) {
    std::fprintf(stderr, "kitdb: %s: %s (code %d)\n", file.c_str(), Reason(code, forText).c_str(),
                 code);
    return kExitFailed;
}

int FailWith(const std::string& text) {
    std::fprintf(stderr, "kitdb: %s\n", text.c_str());
    return kExitFailed;
}

std::string WhyNotOpened(const std::string& path, int* code) {
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    DBError error = !imp                       ? DB_NO_MEMORY
                    : path.size() >= kPathSize ? DB_OPEN_FAILED
                                               : imp->OpenReadOnly(path.c_str(), 0);
    *code = EncodeDBError(error);
    if (error == DB_OK) return "";
    if (error != DB_OPEN_FAILED && error != DB_NOT_A_DATABASE && error != DB_WRONG_DB_VERSION)
        return Reason(*code);
    if (path.size() >= kPathSize) return "the path is too long";
    if (!DatabaseFileExists(path.c_str())) return "is missing";
    RawDataFile raw = ReadRawDataFile(path);
    if (!raw.opened) return "cannot be opened for reading";
    return raw.reason.empty() ? Reason(*code) : raw.reason;
}

std::unique_ptr<CDatabaseImp> OpenDataFile(const std::string& name) {
    const std::string path = name + ".db";
    std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
    if (imp && path.size() < kPathSize && imp->OpenReadOnly(path.c_str(), 0) == DB_OK) return imp;
    int code = 0;
    std::string why = WhyNotOpened(path, &code);
    std::fprintf(stderr, "kitdb: %s: %s (code %d)\n", path.c_str(), why.c_str(), code);
    return nullptr;
}

std::string FixedText(const char* bytes, size_t size) {
    return std::string(bytes, strnlen(bytes, size));
}

std::string Printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

std::string FieldName(const FieldDescriptor& field) {
    return FixedText(field.name, sizeof field.name);
}

std::string FieldValue(const FieldDescriptor& field, const unsigned char* record) {
    const unsigned char* at = record + field.offset;
    const uint32_t size = FieldElementSize(field.type);
    if (field.type == kFieldText)
        return "\"" + Printable(FixedText(reinterpret_cast<const char*>(at), field.length)) + "\"";
    if (size == 0) return "(type " + std::to_string(field.type) + ")";
    std::string out;
    for (uint32_t k = 0; k < field.length; ++k) {
        uint64_t value = Element(at, k, size);
        char number[24];
        if (field.type == kFieldLong)
            std::snprintf(number, sizeof number, "%" PRId32, static_cast<int32_t>(value));
        else if (field.type == kFieldEight)
            std::snprintf(number, sizeof number, "0x%016" PRIX64, value);
        else
            std::snprintf(number, sizeof number, "%" PRIu64, value);
        out += (k ? " " : "") + std::string(number);
    }
    return out;
}

std::string Hex32(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08" PRIX32, value);
    return text;
}

long FileSize(const std::string& path) {
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file || !file->Open(path.c_str(), CDatabaseFile::kReadOnly)) return -1;
    return file->GetSize();
}
