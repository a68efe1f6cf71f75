#include "database/CDatabaseImp.h"

#include <cstring>
#include <new>
#include <utility>

#include "database/DatabaseLock.h"
#include "database/DatabaseLog.h"

namespace {

const char kOpen[] = "CDatabaseImp::OpenDatabase(): ";
const char kCreate[] = "CDatabaseImp::CreateDatabase(): ";
const char kRead[] = "CDatabaseImp::ReadRecord(): ";
const char kAdd[] = "CDatabaseImp::AddRecord(): ";

// Runs of records are read and written this many bytes of record places at
// a time (at least one place).
constexpr uint64_t kTransferBytes = 256 * 1024;

}  // namespace

std::unique_ptr<CDatabaseImp> CDatabaseImp::New() {
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file) return nullptr;
    return std::unique_ptr<CDatabaseImp>(new (std::nothrow) CDatabaseImp(std::move(file)));
}

CDatabaseImp::CDatabaseImp(std::unique_ptr<CDatabaseFile> file)
    : m_Header{}, m_pFile(std::move(file)) {
    m_Header.databaseVersion = kDatabaseVersion;
    m_Header.currentRecord = -1;
    DatabaseLock::Register();
}

CDatabaseImp::~CDatabaseImp() {
    if (m_pFile->IsOpen()) CloseDatabase();
    DatabaseLock::Unregister();
}

DBError CDatabaseImp::NotADatabase() const {
    g_DbLog(kLogFailure) << kOpen << " Error, not a database file\n";
    return DB_NOT_A_DATABASE;
}

DBError CDatabaseImp::OpenDatabase(const char* path, uint32_t recordVersion) {
    return Open(path, recordVersion, false);
}

DBError CDatabaseImp::OpenReadOnly(const char* path, uint32_t recordVersion) {
    return Open(path, recordVersion, true);
}

DBError CDatabaseImp::Open(const char* path, uint32_t recordVersion, bool readOnly) {
    DatabaseLock::Guard guard;
    g_DbLog(kLogEnter) << kOpen << "\n";
    if (m_bOpen || m_pFile->IsOpen()) CloseDatabase();
    m_bReadOnly = readOnly;
    if (!m_pFile->Open(path, readOnly ? CDatabaseFile::kReadOnly : CDatabaseFile::kReadWrite)) {
        g_DbLog(kLogFailure) << kOpen << "Open failed\n";
        return DB_OPEN_FAILED;
    }
    DatabaseHeader header{};
    DBError error = m_pFile->ReadAt(0, &header, sizeof header)
                        ? ValidateHeader(header, recordVersion)
                        : NotADatabase();
    if (error == DB_OK) error = LoadFieldTable(header);
    if (error == DB_OK) {
        m_Header = header;
        // A reader leaves the file as it is: its open is not counted.
        if (!readOnly) {
            m_Header.openCount =
                static_cast<int32_t>(static_cast<uint32_t>(m_Header.openCount) + 1);
            error = WriteHeader();
        }
    }
    if (error != DB_OK) {
        m_pFile->Close();
        return error;
    }
    m_bOpen = 1;
    g_DbLog(kLogLeave) << kOpen << "\n";
    return DB_OK;
}

DBError CDatabaseImp::ValidateHeader(const DatabaseHeader& header, uint32_t recordVersion) {
    // A header that cannot describe this file is not trusted: the private
    // area and the descriptor table must lie in the file, and a record place
    // must have a size the engine can hold.
    long fileSize = m_pFile->GetSize();
    if (fileSize < 0) return NotADatabase();
    switch (CheckDatabaseHeader(header, static_cast<uint64_t>(fileSize), recordVersion)) {
        case HeaderCheck::kPassed:
            return DB_OK;
        case HeaderCheck::kDatabaseVersion:
            g_DbLog(kLogFailure) << kOpen << "Error, file is DBVersion: "
                                 << LogNumber(header.databaseVersion)
                                 << " Expected version: " << static_cast<int>(kDatabaseVersion)
                                 << "\n";
            return DB_WRONG_DB_VERSION;
        case HeaderCheck::kRecordVersion:
            g_DbLog(kLogFailure) << kOpen << "Error, file is record version "
                                 << LogNumber(header.recordVersion)
                                 << ", expected version: " << LogNumber(recordVersion) << "\n";
            return DB_WRONG_RECORD_VERSION;
        default:
            return NotADatabase();
    }
}

// The descriptors are read in one piece; their number is bounded by the
// file's size (ValidateHeader).
DBError CDatabaseImp::LoadFieldTable(const DatabaseHeader& header) {
    FieldTable fields;
    CBuffer bytes;
    uint64_t tableSize = uint64_t{header.numberOfFields} * sizeof(FieldDescriptor);
    if (!fields.Init(header.recordSize, header.recordVersion) ||
        !bytes.Create(static_cast<unsigned long>(tableSize)))
        return DB_NO_MEMORY;
    fields.SetPrivateSize(header.privateSize);
    if (!m_pFile->ReadAt(sizeof(DatabaseHeader) + uint64_t{header.privateSize}, bytes.GetPointer(),
                         static_cast<uint32_t>(tableSize)))
        return NotADatabase();
    const FieldDescriptor* descriptors =
        reinterpret_cast<const FieldDescriptor*>(bytes.GetPointer());
    for (uint32_t i = 0; i < header.numberOfFields; ++i) {
        if (fields.AddDescriptor(descriptors[i]) < 0) return DB_NO_MEMORY;
    }
    if (!fields.FieldsFitRecord()) return NotADatabase();
    m_Fields = fields;
    m_Layout = RecordLayout::Of(header.privateSize, header.numberOfFields, header.recordSize);
    return MakePlaceBuffer() ? DB_OK : DB_NO_MEMORY;
}

void CDatabaseImp::SetCreationHeader(const FieldTable& table) {
    m_Header = DatabaseHeader{};
    m_Header.magic = kDatabaseMagic;
    m_Header.databaseVersion = kDatabaseVersion;
    m_Header.recordVersion = table.RecordVersion();
    m_Header.recordSize = table.RecordSize();
    m_Header.currentRecord = -1;
    m_Header.numberOfFields = 0;
    m_Header.openCount = 1;
    m_Header.privateSize = table.PrivateSize();
}

DBError CDatabaseImp::CreateDatabase(const char* path, FieldTable& table) {
    DatabaseLock::Guard guard;
    g_DbLog(kLogEnter) << kCreate << "\n";
    if (m_bOpen || m_pFile->IsOpen()) CloseDatabase();
    m_bReadOnly = false;
    SetCreationHeader(table);
    // A table whose records the engine could not read back makes no file.
    // The private area has no defined content, so none is made.
    if (!table.FieldsFitRecord() || table.PrivateSize() != 0 || (table.Count() && !table.Bytes()))
        return DB_CREATE_FAILED;
    if (!m_pFile->Open(path, CDatabaseFile::kCreate)) {
        g_DbLog(kLogFailure) << kCreate << "Open database failed\n";
        return DB_CREATE_FAILED;
    }
    DBError error = WriteHeader();
    m_Header.numberOfFields = table.Count();
    for (uint32_t i = 0; i < table.Count(); ++i) table.Descriptor(static_cast<int>(i))->flags = 0;
    if (error == DB_OK && table.Count() &&
        !m_pFile->WriteAt(sizeof(DatabaseHeader), table.Bytes(),
                          table.Count() * static_cast<uint32_t>(sizeof(FieldDescriptor))))
        error = DB_WRITE_FAILED;
    m_Fields = table;
    if (error == DB_OK) error = WriteHeader();
    if (error != DB_OK) {
        m_pFile->Close();
        return error;
    }
    m_Layout = RecordLayout::Of(0, table.Count(), table.RecordSize());
    if (!MakePlaceBuffer()) {
        CloseDatabase();
        return DB_NO_MEMORY;
    }
    m_bOpen = 1;
    return DB_OK;
}

DBError CDatabaseImp::CloseDatabase() {
    g_DbLog(kLogEnter) << "CDatabaseImp::CloseDatabase\n";
    DBError result = DB_OK;
    if (m_pFile->IsOpen() && m_bReadOnly) {
        m_pFile->Close();
    } else if (m_pFile->IsOpen()) {
        result = ReadHeader();
        if (result == DB_OK) {
            m_Header.openCount =
                static_cast<int32_t>(static_cast<uint32_t>(m_Header.openCount) - 1);
            result = WriteHeader();
        }
        m_pFile->Close();
    }
    m_bOpen = 0;
    return result;
}

DBError CDatabaseImp::ReadHeader() {
    DatabaseLock::Guard guard;
    if (!m_pFile->IsOpen()) return DB_NOT_OPEN;
    DatabaseHeader header;
    if (!m_pFile->ReadAt(0, &header, sizeof header)) return DB_NOT_A_DATABASE;
    if (m_bOpen && !SameLayout(header)) return DB_NOT_A_DATABASE;
    m_Header = header;
    return DB_OK;
}

DBError CDatabaseImp::WriteHeader() {
    DatabaseLock::Guard guard;
    if (!m_pFile->IsOpen()) return DB_NOT_OPEN;
    if (m_bReadOnly) return DB_WRITE_FAILED;
    return m_pFile->WriteAt(0, &m_Header, sizeof m_Header) ? DB_OK : DB_WRITE_FAILED;
}

bool CDatabaseImp::SameLayout(const DatabaseHeader& header) const {
    return header.magic == kDatabaseMagic && header.recordSize == m_Fields.RecordSize() &&
           header.numberOfFields == m_Fields.Count() &&
           header.privateSize == m_Fields.PrivateSize();
}

uint32_t CDatabaseImp::CountFromFileSize() {
    long size = m_pFile->GetSize();
    return size < 0 ? 0 : m_Layout.Count(static_cast<uint64_t>(size));
}

bool CDatabaseImp::MakePlaceBuffer() {
    return m_Place.Create(static_cast<unsigned long>(m_Layout.placeSize)) != nullptr;
}

void CDatabaseImp::LogBadBufferSize(const char* operation, uint32_t size) const {
    g_DbLog(kLogFailure) << operation << "Invalid buffer size: " << LogNumber(size) << "\n";
}

DBError CDatabaseImp::CheckRecordMagic(const RecordHeader& header) const {
    if (header.magic == kRecordMagic) return DB_OK;
    g_DbLog(kLogFailure) << kRead << "Invalid record magic\n";
    return DB_BAD_RECORD_MAGIC;
}

uint32_t CDatabaseImp::PlacesPerTransfer(uint32_t count) const {
    const uint64_t place = m_Layout.placeSize;
    uint64_t places = place >= kTransferBytes ? 1 : kTransferBytes / place;
    return count < places ? (count ? count : 1) : static_cast<uint32_t>(places);
}

unsigned char* CDatabaseImp::TransferBuffer(uint32_t places, CBuffer& buffer) {
    if (places == 1) return m_Place.GetPointer();
    return buffer.Create(static_cast<unsigned long>(places * m_Layout.placeSize));
}

namespace {

// Copies the data of the one record of a run into the caller's buffer.
class RecordCopy : public RecordVisitor {
public:
    RecordCopy(void* buffer, uint32_t size) : m_pBuffer(buffer), m_nSize(size) {}
    bool Visit(uint32_t, DBError code, const unsigned char* data) override {
        m_Code = code;
        if (data) std::memcpy(m_pBuffer, data, m_nSize);
        return true;
    }
    DBError Code() const { return m_Code; }

private:
    void* m_pBuffer;
    uint32_t m_nSize;
    DBError m_Code = DB_OK;
};

}  // namespace

DBError CDatabaseImp::ReadRecord(uint32_t number, void* buffer, uint32_t size) {
    RecordCopy copy(buffer, size);
    // Without a buffer there is no size to read into.
    DBError error = ReadRecords(number, 1, buffer ? size : 0, copy);
    return error != DB_OK ? error : copy.Code();
}

DBError CDatabaseImp::ReadRecords(uint32_t first, uint32_t count, uint32_t size,
                                  RecordVisitor& visitor) {
    DatabaseLock::Guard guard;
    const uint32_t records = m_bOpen ? CountFromFileSize() : 0;
    const uint64_t place = m_Layout.placeSize;
    CBuffer chunk;
    unsigned char* bytes = nullptr;
    uint32_t inTransfer = 0;  // places the last transfer read
    uint32_t next = 0;        // the next of them to deliver
    bool whole = false;
    for (uint32_t done = 0; done < count; ++done) {
        const uint64_t number = uint64_t{first} + done;
        g_DbLog(kLogEnter) << kRead << "\n";
        if (!m_bOpen) return DB_NOT_OPEN;
        if (number >= records) {
            g_DbLog(kLogFailure) << kRead << "Invalid record number: "
                                 << LogNumber(static_cast<uint32_t>(number)) << "\n";
            return DB_BAD_RECORD_NUMBER;
        }
        if (size != m_Fields.RecordSize()) {
            LogBadBufferSize(kRead, size);
            return DB_BAD_BUFFER_SIZE;
        }
        const uint64_t offset = m_Layout.Offset(static_cast<uint32_t>(number));
        if (next == inTransfer) {
            const uint32_t capacity = PlacesPerTransfer(count);
            if (!bytes && !(bytes = TransferBuffer(capacity, chunk))) return DB_NO_MEMORY;
            uint64_t left = uint64_t{records} - number;
            if (left > count - done) left = count - done;
            inTransfer = left < capacity ? static_cast<uint32_t>(left) : capacity;
            whole = m_pFile->ReadAt(offset, bytes, static_cast<uint32_t>(inTransfer * place));
            next = 0;
        }
        unsigned char* at = bytes + next++ * place;
        // A transfer that came short (the file changed under the run) is
        // made again place by place; a place that cannot be read has no
        // record magic.
        RecordHeader header{};
        if (whole || (inTransfer > 1 && m_pFile->ReadAt(offset, at, static_cast<uint32_t>(place))))
            std::memcpy(&header, at, sizeof header);
        DBError code = CheckRecordMagic(header);
        if (code == DB_OK && header.removed == 1) code = DB_RECORD_REMOVED;
        if (code == DB_OK) g_DbLog(kLogLeave) << kRead << "\n";
        const unsigned char* data = code == DB_BAD_RECORD_MAGIC ? nullptr : at + sizeof header;
        if (!visitor.Visit(static_cast<uint32_t>(number), code, data)) return DB_OK;
    }
    return DB_OK;
}

DBError CDatabaseImp::AddRecord(uint32_t* number, const void* buffer, uint32_t size) {
    return AddRecords(number, buffer, size, 1);
}

DBError CDatabaseImp::AddRecords(uint32_t* first, const void* records, uint32_t size,
                                 uint32_t count, uint32_t* added) {
    DatabaseLock::Guard guard;
    if (added) *added = 0;
    g_DbLog(kLogEnter) << kAdd << "\n";
    if (!m_bOpen) return DB_NOT_OPEN;
    if (size != m_Fields.RecordSize() || !records) {
        LogBadBufferSize(kAdd, size);
        return DB_BAD_BUFFER_SIZE;
    }
    if (m_bReadOnly) return DB_WRITE_FAILED;
    long fileSize = m_pFile->GetSize();
    if (fileSize < 0) return DB_WRITE_FAILED;
    // The records go after the last complete one, over whatever an
    // interrupted append left; a write that fails is cut off again so that
    // the count, which comes from the size, stays right.
    const uint32_t start = m_Layout.Count(static_cast<uint64_t>(fileSize));
    if (first) *first = start;
    const uint32_t capacity = PlacesPerTransfer(count);
    CBuffer chunk;
    unsigned char* bytes = TransferBuffer(capacity, chunk);
    if (!bytes) return DB_NO_MEMORY;
    const uint64_t place = m_Layout.placeSize;
    const unsigned char* from = static_cast<const unsigned char*>(records);
    const RecordHeader header{kRecordMagic, 0, 0, 0};
    for (uint32_t done = 0; done < count;) {
        const uint32_t places = count - done < capacity ? count - done : capacity;
        for (uint32_t k = 0; k < places; ++k, from += size) {
            std::memcpy(bytes + k * place, &header, sizeof header);
            std::memcpy(bytes + k * place + sizeof header, from, size);
        }
        const uint64_t offset = m_Layout.Offset(start + done);
        if (!m_pFile->WriteAt(offset, bytes, static_cast<uint32_t>(places * place))) {
            m_pFile->Truncate(offset);
            return DB_WRITE_FAILED;
        }
        // Each record's success line once it is on file, and the next
        // record's entry line after it, as one append after another logs.
        for (uint32_t k = 0; k < places; ++k) {
            g_DbLog(kLogLeave) << kAdd << "\n";
            if (done + k + 1 < count) g_DbLog(kLogEnter) << kAdd << "\n";
        }
        done += places;
        if (added) *added = done;
    }
    return DB_OK;
}

DBError CDatabaseImp::SetCurrentRecord(int32_t number) {
    DatabaseLock::Guard guard;
    if (!m_bOpen) return DB_NOT_OPEN;
    if (number != -1 && static_cast<uint32_t>(number) >= CountFromFileSize())
        return DB_BAD_RECORD_NUMBER;
    DBError error = ReadHeader();
    if (error != DB_OK) return error;
    m_Header.currentRecord = number;
    return WriteHeader();
}

DBError CDatabaseImp::GetCurrentRecordNumber(int32_t* number) {
    DatabaseLock::Guard guard;
    if (!m_bOpen) return DB_NOT_OPEN;
    DBError error = ReadHeader();
    if (error == DB_OK && number) *number = m_Header.currentRecord;
    return error;
}

DBError CDatabaseImp::GetRecordCount(uint32_t* count) {
    DatabaseLock::Guard guard;
    if (!m_bOpen) return DB_NOT_OPEN;
    if (count) *count = CountFromFileSize();
    return DB_OK;
}

DBError CDatabaseImp::GetDatabaseInfo(DatabaseInfo* info) {
    DatabaseLock::Guard guard;
    if (!m_bOpen) return DB_NOT_OPEN;
    DBError error = ReadHeader();
    if (error != DB_OK || !info) return error;
    info->databaseVersion = m_Header.databaseVersion;
    info->databaseId = m_Header.databaseId;
    info->databaseFlags = m_Header.databaseFlags;
    info->recordVersion = m_Header.recordVersion;
    info->recordSize = m_Header.recordSize;
    info->currentRecord = m_Header.currentRecord;
    info->reserved = m_Header.reserved;
    info->recordCount = CountFromFileSize();
    info->openCount = m_Header.openCount;
    info->privateSize = m_Header.privateSize;
    return DB_OK;
}
