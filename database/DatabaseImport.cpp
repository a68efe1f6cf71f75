// CDatabaseImp::ImportRecords: records of a text (FORMAT.md, "The text form")
// appended to the open database. Fields are matched by name against this
// database's own table; the layout written in the text is not used.
#include <cstring>

#include "database/CDatabaseImp.h"
#include "database/DatabaseLock.h"
#include "database/DatabaseLog.h"
#include "database/FieldLookup.h"
#include "database/RecordAppender.h"
#include "database/TextLexer.h"
#include "database/TextNumbers.h"
#include "diag/BoundedCopy.h"

namespace {

const char kImport[] = "CDatabaseImp::ImportRecords(): ";

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

// One import: the scan of the text and the bookkeeping of the current
// record, which follows its record to the number it gets here.
class TextImporter {
public:
    TextImporter(CDatabaseImp& database, const char* path, const char* text)
        : m_Db(database),
          m_pPath(path),
          m_Lexer(text),
          m_Lookup(database.m_Fields),
          m_Appender(database) {}

    DBError Run() {
        if (m_Db.GetRecordCount(&m_nBefore) != DB_OK) m_nBefore = 0;
        if (m_Db.IsOpen()) m_Db.ReadHeader();
        if (!m_Record.Create(m_Db.m_Fields.RecordSize())) return DB_NO_MEMORY;
        bool complete = ScanHeader() && ScanRecords();
        FinishRecords();
        // Also after a text that ends early or a record that could not be
        // written: the current record must not stay on a record that this
        // import did not add.
        CheckCurrentRecord();
        if (m_Error != DB_OK) return m_Error;
        return complete ? DB_OK : DB_TEXT_ENDS_EARLY;
    }

private:
    int32_t& Current() { return m_Db.m_Header.currentRecord; }

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
            if (m_Db.IsOpen() && m_Db.ReadHeader() == DB_OK &&
                (m_nBefore == 0 || Current() == -1)) {
                SetCurrent(ParseNumber(m_Lexer.Token(), nullptr));
                m_bRemap = Current() != -1;
            }
            token = m_Lexer.Next();
        }
        return false;
    }

    // Up to END_DATABASE_RECORDS: false when the text ends first or a write
    // fails.
    bool ScanRecords() {
        while (m_Error == DB_OK) {
            TextToken token = m_Lexer.Next();
            if (token == TOKEN_END_DATABASE_RECORDS) return true;
            if (token == TOKEN_END_OF_TEXT) return false;
            if (token != TOKEN_START_RECORD) continue;
            std::memset(m_Record.GetPointer(), 0, m_Record.GetBufferSize());
            int recognised = 0;
            if (ParseFields(&recognised) == TOKEN_RECORD_ERROR) {
                g_DbLog(kLogFailure) << kImport << "Error importing a record, File: " << m_pPath
                                     << " Line: " << LogNumber(m_Lexer.Line()) << "\n";
                continue;
            }
            if (recognised > 1) {
                AddRecord();
            } else if (m_bRemap && IsTextRecordCurrent()) {
                Unmap();
            }
            ++m_nTextIndex;
        }
        return false;
    }

    void AddRecord() {
        uint32_t number = 0;
        DBError error = m_Appender.Add(&number, m_Record.GetPointer(), m_Db.m_Fields.RecordSize());
        if (error == DB_OK) {
            ++m_nAdded;
            if (m_bRemap && IsTextRecordCurrent() && number != m_nTextIndex) {
                SetCurrent(static_cast<int32_t>(number));
                m_bRemap = false;
            }
            return;
        }
        LogRefusal(error);
        if (m_bRemap && IsTextRecordCurrent()) Unmap();
    }

    // A record that could not be written stops the import; the records that
    // did not reach the file are not counted as added.
    void FinishRecords() {
        if (m_Appender.Flush() != DB_OK && m_Error == DB_OK) LogRefusal(DB_WRITE_FAILED);
        if (m_Appender.Written() < m_nAdded) m_nAdded = m_Appender.Written();
    }

    void LogRefusal(DBError error) {
        g_DbLog(kLogFailure) << kImport << "Error adding record DBError="
                             << LogNumber(static_cast<int32_t>(error)) << "\n";
        if (error == DB_WRITE_FAILED && m_Error == DB_OK) m_Error = error;
    }

    bool IsTextRecordCurrent() { return static_cast<uint32_t>(Current()) == m_nTextIndex; }

    void Unmap() {
        SetCurrent(-1);
        m_bRemap = false;
    }

    // The fields of one record, up to its END_RECORD (returned) or the first
    // token that does not belong there (TOKEN_RECORD_ERROR).
    TextToken ParseFields(int* recognised) {
        const FieldTable& fields = m_Db.m_Fields;
        for (;;) {
            TextToken token = m_Lexer.Next();
            if (token == TOKEN_END_RECORD) return token;
            if (token != TOKEN_NAME) return TOKEN_RECORD_ERROR;
            int index = m_Lookup.Find(m_Lexer.Token(), m_Lexer.TokenLength());
            if (m_Lexer.Next() != TOKEN_VALUE) return TOKEN_RECORD_ERROR;
            if (index < 0) continue;
            ++*recognised;
            const FieldDescriptor& descriptor = *fields.Descriptor(index);
            StoreValue(descriptor, m_Record.GetPointer(), m_Lexer.Token());
            if (FieldNameLength(descriptor) == 7 && std::memcmp(descriptor.name, "Version", 7) == 0)
                StoreOwnVersion(descriptor.offset);
        }
    }

    // Every imported record carries this database's record version, as far
    // as its four bytes lie in the record.
    void StoreOwnVersion(uint32_t offset) {
        uint32_t version = m_Db.m_Fields.RecordVersion();
        uint64_t room = m_Record.GetBufferSize() - uint64_t{offset};
        std::memcpy(m_Record.GetPointer() + offset, &version, room < 4 ? room : 4);
    }

    void CheckCurrentRecord() {
        if (!m_Db.IsOpen() || Current() == -1) return;
        uint32_t current = static_cast<uint32_t>(Current());
        if (current >= m_nBefore + m_nAdded || (m_bRemap && current >= m_nAdded)) SetCurrent(-1);
    }

    CDatabaseImp& m_Db;
    const char* m_pPath;
    TextLexer m_Lexer;
    FieldLookup m_Lookup;
    RecordAppender m_Appender;
    CBuffer m_Record;
    uint32_t m_nBefore = 0;
    uint32_t m_nAdded = 0;
    uint32_t m_nTextIndex = 0;
    bool m_bRemap = false;
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
