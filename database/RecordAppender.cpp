#include "database/RecordAppender.h"

#include <cstring>

#include "database/DatabaseLog.h"

namespace {

const char kAdd[] = "CDatabaseImp::AddRecord(): ";
// Records are written this many bytes at a time (at least one place).
constexpr uint64_t kWriteBytes = 256 * 1024;

}  // namespace

// The first record goes after the last complete one, as AddRecord puts it.
DBError RecordAppender::Start() {
    long fileSize = m_Db.m_pFile->GetSize();
    const uint64_t place = m_Db.m_Layout.placeSize;
    m_nCapacity = place >= kWriteBytes ? 1 : static_cast<uint32_t>(kWriteBytes / place);
    if (fileSize < 0) return DB_WRITE_FAILED;
    if (!m_Pending.Create(static_cast<unsigned long>(m_nCapacity * place))) return DB_NO_MEMORY;
    m_nFirst = m_Db.m_Layout.Count(static_cast<uint64_t>(fileSize));
    m_bStarted = true;
    return DB_OK;
}

DBError RecordAppender::Add(uint32_t* number, const void* buffer, uint32_t size) {
    g_DbLog(kLogEnter) << kAdd << "\n";
    if (!m_Db.m_bOpen) return DB_NOT_OPEN;
    if (size != m_Db.m_Fields.RecordSize() || !buffer) {
        m_Db.LogBadBufferSize(kAdd, size);
        return DB_BAD_BUFFER_SIZE;
    }
    if (m_bFailed) return DB_WRITE_FAILED;
    if (!m_bStarted) {
        DBError error = Start();
        if (error != DB_OK) return error;
    }
    if (m_nPending == m_nCapacity && Flush() != DB_OK) return DB_WRITE_FAILED;
    const uint64_t place = m_Db.m_Layout.placeSize;
    unsigned char* at = m_Pending.GetPointer() + m_nPending * place;
    const RecordHeader header{kRecordMagic, 0, 0, 0};
    std::memcpy(at, &header, sizeof header);
    std::memcpy(at + sizeof header, buffer, size);
    if (number) *number = m_nFirst + m_nWritten + m_nPending;
    ++m_nPending;
    g_DbLog(kLogLeave) << kAdd << "\n";
    return DB_OK;
}

DBError RecordAppender::Flush() {
    if (m_bFailed) return DB_WRITE_FAILED;
    if (m_nPending == 0) return DB_OK;
    const uint64_t offset = m_Db.m_Layout.Offset(m_nFirst + m_nWritten);
    const uint64_t bytes = m_nPending * m_Db.m_Layout.placeSize;
    m_nPending = 0;
    if (!m_Db.m_pFile->WriteAt(offset, m_Pending.GetPointer(), static_cast<uint32_t>(bytes))) {
        m_Db.m_pFile->Truncate(offset);
        m_bFailed = true;
        return DB_WRITE_FAILED;
    }
    m_nWritten += static_cast<uint32_t>(bytes / m_Db.m_Layout.placeSize);
    return DB_OK;
}
