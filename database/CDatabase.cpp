#include "database/CDatabase.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "database/CDatabaseImp.h"
#include "database/CDatabaseIndex.h"
#include "database/DatabaseLock.h"
#include "database/DatabaseLog.h"
#include "database/IndexBatch.h"
#include "database/OpenTables.h"
#include "diag/BoundedCopy.h"

namespace {

const char kDatabase[] = "Database: ";
const char kOpen[] = "CDatabase::OpenDatabase(): ";
const char kDBOpen[] = "CDatabase::DBOpen(): ";

bool NameFits(const char* name) {
    return name && std::strlen(name) <= kMaxNameLength;
}

// Inserts the key of every record that reads correctly. The key is the text
// at the key offset, ending at its terminator, the key length or the end of
// the record, whichever comes first.
class KeyInserter : public RecordVisitor {
public:
    KeyInserter(IndexBatch& batch, uint32_t keyOffset, uint32_t keyLength, uint32_t recordSize)
        : m_Batch(batch), m_nOffset(keyOffset), m_nLength(keyLength), m_nRecordSize(recordSize) {}

    bool Visit(uint32_t number, DBError code, const unsigned char* data) override {
        if (code != DB_OK) return true;
        const char* key = "";
        size_t room = 0;
        if (m_nOffset < m_nRecordSize) {
            key = reinterpret_cast<const char*>(data + m_nOffset);
            room = m_nRecordSize - m_nOffset;
        }
        size_t length = strnlen(key, room < m_nLength ? room : m_nLength);
        // Insertions the key type refuses are passed over; a failed write ends
        // the rebuild.
        m_Result = m_Batch.Insert(key, length, static_cast<int32_t>(number));
        if (m_Result == INDEX_BAD_PARAMETER) m_Result = INDEX_OK;
        return m_Result == INDEX_OK;
    }

    IndexCode Result() const { return m_Result; }

private:
    IndexBatch& m_Batch;
    uint32_t m_nOffset;
    uint32_t m_nLength;
    uint32_t m_nRecordSize;
    IndexCode m_Result = INDEX_OK;
};

}  // namespace

CDatabase::CDatabase() : m_pImp(nullptr), m_pIndex(nullptr) {}

CDatabase::~CDatabase() {
    CloseDatabase();
    ReleaseIndex();
}

bool CDatabase::StoreName(const char* name) {
    if (!m_pName) m_pName.reset(new (std::nothrow) char[kPathSize]);
    if (!m_pName) return false;
    CopyBounded(m_pName.get(), kPathSize, name);
    return true;
}

bool CDatabase::MakePath(char* path, const char* extension) const {
    if (!m_pName) return false;
    int length = std::snprintf(path, kPathSize, "%s%s", m_pName.get(), extension);
    return length > 0 && static_cast<size_t>(length) < kPathSize;
}

int CDatabase::OpenDatabase(const char* name, uint32_t recordVersion) {
    g_DbLog(kLogEnter) << kOpen << kDatabase << name
                       << " RecordVersion: " << LogNumber(recordVersion) << "\n";
    if (!NameFits(name)) return EncodeDBError(DB_OPEN_FAILED);
    if (!StoreName(name)) return EncodeDBError(DB_NO_MEMORY);
    char path[kPathSize];
    MakePath(path, ".db");
    DBError error = DBOpen(path, recordVersion);
    if (error != DB_OK) return EncodeDBError(error);
    MakePath(path, ".idx");
    IndexCode code = AttachIndex(path, nullptr);
    if (code != INDEX_OK) {
        CloseDatabase();
        ReleaseIndex();
    }
    g_DbLog(kLogLeave) << kOpen << "\n";
    return EncodeIndexCode(code);
}

DBError CDatabase::DBOpen(const char* path, uint32_t recordVersion) {
    g_DbLog(kLogEnterStep) << kDBOpen << kDatabase << m_pName.get() << "\n";
    if (m_pImp) CloseDatabase();
    if (!path || std::strlen(path) >= kPathSize) return DB_OPEN_FAILED;
    uint32_t sharedVersion = 0;
    m_pImp = TheOpenDatabaseTable().Lookup(path, &sharedVersion);
    if (m_pImp) {
        // The reference is taken even when the versions differ; the next open
        // or close gives it back.
        if (recordVersion != 0 && recordVersion != sharedVersion) return DB_WRONG_RECORD_VERSION;
        g_DbLog(kLogLeaveStep) << kDBOpen << "\n";
        return DB_OK;
    }
    m_pImp = CDatabaseImp::New().release();
    if (!m_pImp) return DB_NO_MEMORY;
    DBError error = m_pImp->OpenDatabase(path, recordVersion);
    if (error == DB_OK) TheOpenDatabaseTable().Add(path, m_pImp, recordVersion);
    return error;
}

int CDatabase::CreateDatabase(const char* name, FieldTable& table, uint32_t keyType,
                              uint32_t keyLength, uint32_t bucketCount) {
    g_DbLog(kLogProgress) << "CDatabase::CreateDatabase(): " << kDatabase << name << "\n";
    if (!NameFits(name)) return EncodeDBError(DB_CREATE_FAILED);
    if (!StoreName(name)) return EncodeDBError(DB_NO_MEMORY);
    char path[kPathSize];
    MakePath(path, ".db");
    DBError error = AttachNewDatabase(path, table);
    if (error != DB_OK) return EncodeDBError(error);
    const uint32_t one = 1;
    if (WriteAttachment(0, &one, sizeof one, 0) != 0) return kAttachmentFailed;
    MakePath(path, ".idx");
    IndexCreation creation{keyType, keyLength, bucketCount, false};
    IndexCode code = AttachIndex(path, &creation);
    if (code != INDEX_OK) {
        CloseDatabase();
        ReleaseIndex();
    }
    return EncodeIndexCode(code);
}

DBError CDatabase::AttachNewDatabase(const char* path, FieldTable& table) {
    if (m_pImp) CloseDatabase();
    if (TheOpenDatabaseTable().References(path) != 0) return DB_ALREADY_OPEN;
    m_pImp = CDatabaseImp::New().release();
    if (!m_pImp) return DB_NO_MEMORY;
    DBError error = m_pImp->CreateDatabase(path, table);
    if (error == DB_OK) TheOpenDatabaseTable().Add(path, m_pImp, table.RecordVersion());
    return error;
}

IndexCode CDatabase::AttachIndex(const char* path, const IndexCreation* creation) {
    if (m_pIndex) ReleaseIndex();
    m_pIndex = TheOpenIndexTable().Lookup(path);
    if (m_pIndex) return creation ? INDEX_ALREADY_OPEN : INDEX_OK;
    m_pIndex = CDatabaseIndex::New().release();
    if (!m_pIndex) return INDEX_NO_MEMORY;
    IndexCode code = !creation ? m_pIndex->OpenIndex(path)
                     : creation->unsealed
                         ? m_pIndex->CreateUnsealed(path, creation->keyType, creation->keyLength,
                                                    creation->bucketCount)
                         : m_pIndex->CreateIndex(path, creation->keyType, creation->keyLength,
                                                 creation->bucketCount);
    if (code == INDEX_OK) TheOpenIndexTable().Add(path, m_pIndex);
    return code;
}

// An object that is shared stays open for its other holders; the last holder
// (or the only one, when the object is in no table entry) closes and frees it.
void CDatabase::CloseDatabase() {
    g_DbLog(kLogProgress) << "CDatabase::CloseDatabase(): " << kDatabase << m_pName.get() << "\n";
    if (!m_pImp) return;
    if (TheOpenDatabaseTable().Release(m_pImp) == 0) {
        m_pImp->CloseDatabase();
        delete m_pImp;
    }
    m_pImp = nullptr;
}

void CDatabase::ReleaseIndex() {
    if (!m_pIndex) return;
    if (TheOpenIndexTable().Release(m_pIndex) == 0) {
        m_pIndex->CloseIndex();
        delete m_pIndex;
    }
    m_pIndex = nullptr;
}

int CDatabase::RebuildIndex(uint32_t keyType, uint32_t keyOffset, uint32_t keyLength,
                            uint32_t bucketCount) {
    DatabaseLock::Guard guard;
    if (!m_pImp) return EncodeDBError(DB_NOT_OPEN);
    g_DbLog(kLogProgress) << "CDatabase::RebuildIndex(): " << kDatabase << m_pName.get() << "\n";
    // A database that is not open has nothing to index: the index is left
    // alone rather than made anew and empty.
    DatabaseInfo info;
    DBError error = m_pImp->GetDatabaseInfo(&info);
    if (error != DB_OK) return EncodeDBError(error);
    ReleaseIndex();
    char path[kPathSize];
    if (!MakePath(path, ".idx")) return EncodeIndexCode(INDEX_CREATE_FAILED);
    IndexCreation creation{keyType, keyLength, bucketCount, true};
    IndexCode code = AttachIndex(path, &creation);
    if (code != INDEX_OK) return EncodeIndexCode(code);

    // The keys go in record by record through one batch, whose end seals the
    // index: an index whose rebuild was interrupted stays unsealed.
    IndexBatch batch(*m_pIndex);
    KeyInserter inserter(batch, keyOffset, keyLength, info.recordSize);
    error = m_pImp->ReadRecords(0, info.recordCount, info.recordSize, inserter);
    if (error != DB_OK) return EncodeDBError(error);
    code = inserter.Result();
    if (code == INDEX_OK) code = batch.Finish();
    return EncodeIndexCode(code);
}

int CDatabase::GetCurrentRecord(DatabaseRecord& record) {
    if (!m_pImp) return EncodeDBError(DB_NOT_OPEN);
    g_DbLog(kLogProgress) << "CDatabase::GetCurrentRecord(): " << kDatabase << m_pName.get()
                          << "\n";
    int32_t current = -1;
    DBError error = m_pImp->GetCurrentRecordNumber(&current);
    if (error != DB_OK) return EncodeDBError(error);
    uint32_t size = record.GetDataSize();
    unsigned char* data = record.GetRecordData();
    return EncodeDBError(m_pImp->ReadRecord(static_cast<uint32_t>(current), data, size));
}

int CDatabase::WriteAttachment(uint32_t number, const void* data, uint32_t length, uint32_t value) {
    DatabaseLock::Guard guard;
    if (!data) return 0;
    char path[kPathSize];
    char extension[8];
    std::snprintf(extension, sizeof extension, ".h%02u", static_cast<unsigned>(number));
    if (number > 99 || !MakePath(path, extension)) return kAttachmentFailed;
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file || !file->Open(path, CDatabaseFile::kCreate)) return kAttachmentFailed;
    AttachmentHeader header{kAttachmentMagic, kAttachmentVersion, value, length, 0, number};
    if (!file->WriteAt(0, &header, sizeof header) ||
        (length && !file->WriteAt(sizeof header, data, length)))
        return kAttachmentFailed;
    return 0;
}

int CDatabase::ExportDatabase(const char* path) {
    return m_pImp ? EncodeDBError(m_pImp->ExportDatabase(path)) : EncodeDBError(DB_NOT_OPEN);
}

int CDatabase::ImportRecords(const char* path) {
    return m_pImp ? EncodeDBError(m_pImp->ImportRecords(path)) : EncodeDBError(DB_NOT_OPEN);
}

int CDatabase::GetRecordCount() {
    if (!m_pImp) return EncodeDBError(DB_NOT_OPEN);
    uint32_t count = 0;
    DBError error = m_pImp->GetRecordCount(&count);
    return error != DB_OK ? EncodeDBError(error) : static_cast<int>(count);
}

int CDatabase::GetDatabaseInfo(DatabaseInfo& info) {
    return m_pImp ? EncodeDBError(m_pImp->GetDatabaseInfo(&info)) : EncodeDBError(DB_NOT_OPEN);
}
