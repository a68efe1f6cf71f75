// CDatabaseImp::ImportRecords: records of a text (FORMAT.md, "The text form")
// appended to the open database. Fields are matched by name against this
// database's own table; the layout written in the text is not used.
#include <cstring>

#include "database/CDatabaseImp.h"
#include "database/DatabaseLock.h"
#include "database/DatabaseLog.h"
#include "database/TextLexer.h"
#include "database/TextNumbers.h"
#include "diag/BoundedCopy.h"

namespace {

const char kImport[] = "CDatabaseImp::ImportRecords(): ";
const char kVersionField[] = "Version";
// Records are collected up to this many bytes before they are appended.
constexpr uint64_t kCollectBytes = 256 * 1024;

// Reads successive numbers of a value text into elements of Element's width
// (their low bits).
template <typename Element>
void StoreNumbers(unsigned char* field, uint64_t count, const char* text) {
    for (uint64_t k = 0; k < count; ++k) {
        Element element = static_cast<Element>(ParseNumber(text, &text));
        std::memcpy(field + k * sizeof(Element), &element, sizeof element);
    }
}

void StoreValue(const FieldDescriptor& descriptor, unsigned char* record, const char* value) {
    unsigned char* field = record + descriptor.offset;
    switch (descriptor.type) {
        case kFieldBytes:
            StoreNumbers<uint8_t>(field, descriptor.length, value);
            break;
        case kFieldText:
            FillBounded(reinterpret_cast<char*>(field), descriptor.length, value);
            break;
        case kFieldShort:
            StoreNumbers<uint16_t>(field, descriptor.length, value);
            break;
        case kFieldLong:
            StoreNumbers<uint32_t>(field, descriptor.length, value);
            break;
        case kFieldEight:
            StoreNumbers<uint8_t>(field, FieldByteSize(kFieldEight, descriptor.length), value);
            break;
        default:
            break;
    }
}

// Reads the whole file, followed by a zero byte.
DBError ReadText(CDatabaseFile& file, CBuffer& text) {
    long size = file.GetSize();
    if (size < 0) return DB_OPEN_FAILED;
    if (!text.Create(static_cast<unsigned long>(size) + 1)) return DB_NO_MEMORY;
    return file.ReadAt(0, text.GetPointer(), static_cast<uint32_t>(size)) ? DB_OK : DB_OPEN_FAILED;
}

}  // namespace

// One import: the scan of the text, the records collected and appended in
// large writes, and the current record, which follows its record to the
// number it gets here. The header names a record only once that record is on
// file.
class TextImporter {
public:
    TextImporter(CDatabaseImp& database, const char* path, const char* text)
        : m_Db(database), m_pPath(path), m_Lexer(text), m_nSize(database.m_Fields.RecordSize()) {}

    DBError Run() {
        if (m_Db.GetRecordCount(&m_nBefore) != DB_OK) m_nBefore = 0;
        if (m_Db.IsOpen()) m_Db.ReadHeader();
        uint64_t capacity = kCollectBytes / (m_nSize ? m_nSize : 1);
        m_nCapacity = capacity ? static_cast<uint32_t>(capacity) : 1;
        // A database that is not open has no record size; its records are
        // refused one by one all the same.
        const uint64_t bytes = uint64_t{m_nCapacity} * m_nSize;
        if (!m_Records.Create(static_cast<unsigned long>(bytes ? bytes : 1))) return DB_NO_MEMORY;
        bool complete = ScanHeader() && ScanRecords();
        Flush();
        // Also after a text that ends early or a record that could not be
        // written: the current record must not stay on a record that this
        // import did not add.
        CheckCurrentRecord();
        if (m_Error != DB_OK) return m_Error;
        return complete ? DB_OK : DB_TEXT_ENDS_EARLY;
    }

private:
    static constexpr uint32_t kNone = 0xFFFFFFFF;

    int32_t Current() const { return m_Db.m_Header.currentRecord; }

    void SetCurrent(int32_t number) {
        DBError error = m_Db.SetCurrentRecord(number);
        if (m_Error == DB_OK) m_Error = error;
    }

    // Up to START_DATABASE_RECORDS; only CURRENT_RECORD is acted on. False
    // when the text ends first or a header write fails.
    bool ScanHeader() {
        TextToken token = m_Lexer.Next();
        while (m_Error == DB_OK) {
            if (token == TOKEN_START_DATABASE_RECORDS) return true;
            if (token == TOKEN_END_OF_TEXT) return false;
            if (token != TOKEN_CURRENT_RECORD) {
                token = m_Lexer.Next();
                continue;
            }
            token = m_Lexer.Next();
            if (token != TOKEN_VALUE) continue;
            if (m_Db.IsOpen() && m_Db.ReadHeader() == DB_OK && (m_nBefore == 0 || Current() == -1))
                TakeCurrent(ParseNumber(m_Lexer.Token(), nullptr));
            token = m_Lexer.Next();
        }
        return false;
    }

    // The text's current record: none at once; a record number once that
    // record of the text is on file.
    void TakeCurrent(int32_t textIndex) {
        m_nWanted = kNone;
        if (textIndex != -1) {
            m_nWanted = static_cast<uint32_t>(textIndex);
        } else if (Current() != -1) {
            SetCurrent(-1);
        }
    }

    // Up to END_DATABASE_RECORDS: false when the text ends first or a write
    // fails.
    bool ScanRecords() {
        while (m_Error == DB_OK) {
            TextToken token = m_Lexer.Next();
            if (token == TOKEN_END_DATABASE_RECORDS) return true;
            if (token == TOKEN_END_OF_TEXT) return false;
            if (token != TOKEN_START_RECORD) continue;
            unsigned char* record = m_Records.GetPointer() + uint64_t{m_nCollected} * m_nSize;
            std::memset(record, 0, m_nSize);
            int recognised = 0;
            if (ParseFields(record, &recognised) == TOKEN_RECORD_ERROR) {
                g_DbLog(kLogFailure) << kImport << "Error importing a record, File: " << m_pPath
                                     << " Line: " << LogNumber(m_Lexer.Line()) << "\n";
                continue;
            }
            if (recognised > 1) {
                Collect();
            } else if (m_nTextIndex == m_nWanted) {
                // The text's current record is not added: there is none.
                m_nWanted = kNone;
                if (Current() != -1) SetCurrent(-1);
            }
            ++m_nTextIndex;
        }
        return false;
    }

    // The record just parsed joins the collection; the text's current
    // record goes to the file at once, and the header names it after that.
    void Collect() {
        ++m_nCollected;
        if (m_nTextIndex == m_nWanted) {
            const uint32_t position = m_nCollected - 1;
            uint32_t first = 0;
            if (Flush(&first) && m_Error == DB_OK)
                SetCurrent(static_cast<int32_t>(first + position));
            m_nWanted = kNone;
        } else if (m_nCollected == m_nCapacity) {
            Flush();
        }
    }

    // Appends the collected records. False when not all of them were added;
    // each record that was not is logged, and a write that failed stops the
    // import.
    bool Flush(uint32_t* first = nullptr) {
        if (m_nCollected == 0) return true;
        uint32_t added = 0, number = 0;
        DBError error =
            m_Db.AddRecords(&number, m_Records.GetPointer(), m_nSize, m_nCollected, &added);
        if (first) *first = number;
        m_nAdded += added;
        for (uint32_t k = added; k < m_nCollected; ++k)
            g_DbLog(kLogFailure) << kImport << "Error adding record DBError="
                                 << LogNumber(static_cast<int32_t>(error)) << "\n";
        if (error == DB_WRITE_FAILED && m_Error == DB_OK) m_Error = error;
        m_nCollected = 0;
        return error == DB_OK;
    }

    // The fields of one record, up to its END_RECORD (returned) or the first
    // token that does not belong there (TOKEN_RECORD_ERROR).
    TextToken ParseFields(unsigned char* record, int* recognised) {
        const FieldTable& fields = m_Db.m_Fields;
        for (;;) {
            TextToken token = m_Lexer.Next();
            if (token == TOKEN_END_RECORD) return token;
            if (token != TOKEN_NAME) return TOKEN_RECORD_ERROR;
            int index = fields.FindField(m_Lexer.Token(), m_Lexer.TokenLength(), &m_nHint);
            if (m_Lexer.Next() != TOKEN_VALUE) return TOKEN_RECORD_ERROR;
            if (index < 0) continue;
            ++*recognised;
            const FieldDescriptor& descriptor = *fields.Descriptor(index);
            StoreValue(descriptor, record, m_Lexer.Token());
            if (FieldNameIs(descriptor, kVersionField, sizeof kVersionField - 1))
                StoreOwnVersion(record, descriptor.offset);
        }
    }

    // Every imported record carries this database's record version, as far
    // as its four bytes lie in the record.
    void StoreOwnVersion(unsigned char* record, uint32_t offset) {
        uint32_t version = m_Db.m_Fields.RecordVersion();
        uint64_t room = m_nSize - uint64_t{offset};
        std::memcpy(record + offset, &version, room < 4 ? room : 4);
    }

    void CheckCurrentRecord() {
        if (!m_Db.IsOpen() || m_Db.ReadHeader() != DB_OK || Current() == -1) return;
        if (static_cast<uint32_t>(Current()) >= m_nBefore + m_nAdded || m_nWanted != kNone)
            SetCurrent(-1);
    }

    CDatabaseImp& m_Db;
    const char* m_pPath;
    TextLexer m_Lexer;
    const uint32_t m_nSize;
    CBuffer m_Records;  // collected records, one after another
    uint32_t m_nCapacity = 0;
    uint32_t m_nCollected = 0;
    uint32_t m_nHint = 0;  // where FindField looks first
    uint32_t m_nBefore = 0;
    uint32_t m_nAdded = 0;
    uint32_t m_nTextIndex = 0;
    uint32_t m_nWanted = kNone;  // the text's current record, not yet on file
    DBError m_Error = DB_OK;
};

DBError CDatabaseImp::ImportRecords(const char* path) {
    DatabaseLock::Guard guard;
    g_DbLog(kLogEnter) << kImport << "\n";
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    // Read access is all the import needs, so a read-only text imports.
    if (!file || !file->Open(path, CDatabaseFile::kReadOnly)) return DB_OPEN_FAILED;
    CBuffer text;
    DBError error = ReadText(*file, text);
    file->Close();
    if (error != DB_OK) return error;
    TextImporter importer(*this, path, reinterpret_cast<const char*>(text.GetPointer()));
    return importer.Run();
}
