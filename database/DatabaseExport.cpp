// CDatabaseImp::ExportDatabase: the database as text (FORMAT.md, "The text
// form"). Every line of the text goes through a TextWriter, which turns line
// feeds into CR LF; the quoted values of text fields are written as they are.
#include <cstring>

#include "database/CDatabaseImp.h"
#include "database/DatabaseLock.h"
#include "database/DatabaseLog.h"
#include "database/TextWriter.h"

namespace {

const char kExport[] = "CDatabaseImp::ExportDatabase(): ";

bool NameIs(const FieldDescriptor& descriptor, const char* name) {
    return FieldNameIs(descriptor, name, std::strlen(name));
}

// Lets a location database of an older layout be carried into the current
// one: two lines that supply the fields it lacks.
struct LegacyLines {
    bool tapiLocation = false;
    bool backupEntry = false;
    int64_t tapiPosition = -1;  // of the four bytes in front of CallWaitingDisabled

    LegacyLines(const FieldTable& fields, int32_t recordVersion) {
        int marks = 0;
        bool hasTapiLocation = false, hasBackupEntry = false;
        for (uint32_t i = 0; i < fields.Count(); ++i) {
            const FieldDescriptor& descriptor = *fields.Descriptor(static_cast<int>(i));
            if (NameIs(descriptor, "CallWaitingDisabled")) {
                ++marks;
                tapiPosition = int64_t{descriptor.offset} - 4;
            } else if (NameIs(descriptor, "LocalNumber") ||
                       NameIs(descriptor, "LongDistanceAccess")) {
                ++marks;
            } else if (NameIs(descriptor, "TapiLocationID")) {
                hasTapiLocation = true;
            } else if (NameIs(descriptor, "BackupPOPEntry")) {
                hasBackupEntry = true;
            }
        }
        tapiLocation = marks >= 3 && !hasTapiLocation && recordVersion >= 56;
        backupEntry = marks >= 3 && !hasBackupEntry;
    }

    // The TAPI location value of a record; bytes outside the record read 0.
    int32_t TapiLocation(const unsigned char* data, uint32_t recordSize) const {
        int32_t value = 0;
        if (tapiPosition >= 0 && tapiPosition + 4 <= int64_t{recordSize})
            std::memcpy(&value, data + tapiPosition, sizeof value);
        return value;
    }
};

template <typename Element>
Element ElementAt(const unsigned char* field, uint32_t k) {
    Element value;
    std::memcpy(&value, field + uint64_t{k} * sizeof(Element), sizeof value);
    return value;
}

// Writes the records section's lines for each record the scan delivers. The
// start of each field line, the indented name and "=", is made once.
class RecordLines : public RecordVisitor {
public:
    RecordLines(TextWriter& out, const FieldTable& fields, const LegacyLines& legacy)
        : m_Out(out), m_Fields(fields), m_Legacy(legacy) {
        const char kIndent[] = "        ";
        size_t total = 0;
        for (uint32_t i = 0; i < fields.Count(); ++i)
            total += sizeof kIndent + 2 * FieldNameLength(*fields.Descriptor(static_cast<int>(i)));
        char* at = reinterpret_cast<char*>(m_Prefixes.Create(static_cast<unsigned long>(total)));
        m_pStarts = reinterpret_cast<uint32_t*>(m_Starts.Create((fields.Count() + 1) * 4ul));
        if (!at || !m_pStarts) return;
        uint32_t used = 0;
        for (uint32_t i = 0; i < fields.Count(); ++i) {
            const FieldDescriptor& descriptor = *fields.Descriptor(static_cast<int>(i));
            m_pStarts[i] = used;
            std::memcpy(at + used, kIndent, 8);
            used += 8;
            used += static_cast<uint32_t>(
                TextWriter::WithCrLf(descriptor.name, FieldNameLength(descriptor), at + used));
            at[used++] = '=';
        }
        m_pStarts[fields.Count()] = used;
    }

    bool Ready() const { return m_pStarts && m_Prefixes.GetPointer(); }

    bool Visit(uint32_t number, DBError code, const unsigned char* data) override {
        int32_t n = static_cast<int32_t>(number);
        m_Out.Raw("    START_RECORD ", 17).Signed(n).End();
        if (code == DB_OK) {
            for (uint32_t i = 0; i < m_Fields.Count(); ++i) FieldLine(i, data);
            LegacyFieldLines(data);
        } else {
            g_DbLog(kLogFailure) << kExport << "Error reading record " << LogNumber(number)
                                 << ", dberror: " << LogNumber(static_cast<int32_t>(code)) << "\n";
            if (code == DB_RECORD_REMOVED) {
                m_Out << ";       Record ";
                m_Out.Signed(n) << " has been removed\n";
            } else {
                m_Out << ";       Error reading record ";
                m_Out.Signed(n) << ", dberror: ";
                m_Out.Signed(code) << "\n";
            }
        }
        m_Out.Raw("    END_RECORD ", 15).Signed(n).End().End();
        return !m_Out.Failed();
    }

private:
    void FieldLine(uint32_t i, const unsigned char* data) {
        const FieldDescriptor& descriptor = *m_Fields.Descriptor(static_cast<int>(i));
        const unsigned char* field = data + descriptor.offset;
        m_Out.Raw(reinterpret_cast<const char*>(m_Prefixes.GetPointer()) + m_pStarts[i],
                  m_pStarts[i + 1] - m_pStarts[i]);
        switch (descriptor.type) {
            case kFieldBytes:
                for (uint32_t k = 0; k < descriptor.length; ++k) m_Out.Unsigned(field[k], ' ');
                break;
            case kFieldText: {
                const char* text = reinterpret_cast<const char*>(field);
                m_Out.Raw("\"", 1).Raw(text, strnlen(text, descriptor.length)).Raw("\"", 1);
                break;
            }
            case kFieldShort:
                for (uint32_t k = 0; k < descriptor.length; ++k)
                    m_Out.Unsigned(ElementAt<uint16_t>(field, k), ' ');
                break;
            case kFieldLong:
                for (uint32_t k = 0; k < descriptor.length; ++k)
                    m_Out.Signed(ElementAt<int32_t>(field, k), ' ');
                break;
            case kFieldEight:
                // Carried byte by byte, as the numbers of a byte field.
                for (uint64_t k = 0; k < FieldByteSize(kFieldEight, descriptor.length); ++k)
                    m_Out.Unsigned(field[k], ' ');
                break;
            default:
                // No value: an empty quoted one keeps the next line its own.
                m_Out.Raw("\"\"", 2);
                break;
        }
        m_Out.End();
    }

    void LegacyFieldLines(const unsigned char* data) {
        if (m_Legacy.tapiLocation) {
            m_Out << "        TapiLocationID=";
            m_Out.Signed(m_Legacy.TapiLocation(data, m_Fields.RecordSize()), ' ').End();
        }
        if (m_Legacy.backupEntry) m_Out << "        BackupPOPEntry=-1 \n";
    }

    TextWriter& m_Out;
    const FieldTable& m_Fields;
    const LegacyLines& m_Legacy;
    CBuffer m_Prefixes;
    CBuffer m_Starts;
    uint32_t* m_pStarts = nullptr;
};

void HeaderLine(TextWriter& out, const char* keyword, uint32_t value) {
    out << "    " << keyword << "=";
    out.Signed(static_cast<int32_t>(value)) << "\n";
}

void FieldSectionLine(TextWriter& out, const char* keyword, uint32_t value) {
    out << "        " << keyword << "=";
    out.Signed(static_cast<int32_t>(value)) << "\n";
}

void FieldSection(TextWriter& out, const FieldTable& fields) {
    out << "START_DATABASE_FIELDS\n";
    for (uint32_t i = 0; i < fields.Count(); ++i) {
        const FieldDescriptor& descriptor = *fields.Descriptor(static_cast<int>(i));
        out << "    START_FIELD ";
        out.Signed(static_cast<int32_t>(i)) << "\n";
        out << "        FIELD_DESC=\"";
        out.Text(descriptor.name, FieldNameLength(descriptor)) << "\"\n";
        out << "        FIELD_COMMENTS=\"";
        out.Text(descriptor.comment, FieldCommentLength(descriptor)) << "\"\n";
        FieldSectionLine(out, "FIELD_TYPE", descriptor.type);
        FieldSectionLine(out, "FIELD_LENGTH", descriptor.length);
        FieldSectionLine(out, "FIELD_OFFSET", descriptor.offset);
        FieldSectionLine(out, "FIELD_INDEX", descriptor.index);
        FieldSectionLine(out, "FIELD_FLAGS", descriptor.flags);
        out << "    END_FIELD ";
        out.Signed(static_cast<int32_t>(i)) << "\n\n";
    }
    out << "END_DATABASE_FIELDS\n\n";
}

}  // namespace

DBError CDatabaseImp::ExportDatabase(const char* path) {
    DatabaseLock::Guard guard;
    g_DbLog(kLogEnter) << kExport << "\n";
    if (!m_bOpen) {
        g_DbLog(kLogFailure) << "Database is not open\n";
        return DB_NOT_OPEN;
    }
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file || !file->Open(path, CDatabaseFile::kCreate)) {
        g_DbLog(kLogFailure) << kExport << "Open of " << path << " failed\n";
        return DB_CREATE_FAILED;
    }
    TextWriter out(*file);
    if (!out.Ready()) return DB_NO_MEMORY;
    DBError error = ReadHeader();
    if (error != DB_OK) return error;

    out << "START_DBHEADER\n";
    HeaderLine(out, "DB_VERSION", m_Header.databaseVersion);
    HeaderLine(out, "DB_ID", m_Header.databaseId);
    HeaderLine(out, "DB_FLAGS", m_Header.databaseFlags);
    HeaderLine(out, "RECORD_VERSION", m_Header.recordVersion);
    HeaderLine(out, "RECORD_SIZE", m_Header.recordSize);
    HeaderLine(out, "CURRENT_RECORD", static_cast<uint32_t>(m_Header.currentRecord));
    HeaderLine(out, "NUMBER_OF_FIELDS", m_Header.numberOfFields);
    HeaderLine(out, "SIZE_OF_PRIVATE_DATA", m_Header.privateSize);
    out << "END_DBHEADER\n\n";
    out << "START_PRIVATE_DATA\n";
    if (m_Header.privateSize != 0) out << ";Private data not yet supported\n";
    out << "END_PRIVATE_DATA\n\n";
    FieldSection(out, m_Fields);

    LegacyLines legacy(m_Fields, static_cast<int32_t>(m_Header.recordVersion));
    RecordLines records(out, m_Fields, legacy);
    if (!records.Ready()) return DB_NO_MEMORY;
    out << "START_DATABASE_RECORDS\n";
    error = ReadRecords(0, CountFromFileSize(), m_Fields.RecordSize(), records);
    if (error != DB_OK) return error;
    out << "END_DATABASE_RECORDS\n";
    if (!out.Finish()) return DB_WRITE_FAILED;
    g_DbLog(kLogLeave) << kExport << "\n";
    return DB_OK;
}
