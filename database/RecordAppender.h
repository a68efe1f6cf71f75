// RecordAppender: AddRecord for many records in a row, as the import adds
// them. Each Add numbers its record and logs AddRecord's messages at once;
// the records are collected and reach the file in large writes, at the
// latest at Flush. A write that fails or comes short is cut off the file
// again and fails the appender for good: Written() then counts the records
// that are in the file. Holds the database lock from construction to
// destruction; nothing else may append meanwhile.
#ifndef WIN95_DATABASE_RECORDAPPENDER_H
#define WIN95_DATABASE_RECORDAPPENDER_H

#include <win95/CBuffer.h>

#include <cstdint>

#include "database/CDatabaseImp.h"
#include "database/DatabaseLock.h"

class RecordAppender {
public:
    explicit RecordAppender(CDatabaseImp& database) : m_Db(database) {}
    RecordAppender(const RecordAppender&) = delete;
    RecordAppender& operator=(const RecordAppender&) = delete;

    // AddRecord's codes: 17, 6, 18 (this or an earlier write failed), 1 (no
    // memory for the collection).
    DBError Add(uint32_t* number, const void* buffer, uint32_t size);
    // Writes what is collected: 0 or 18.
    DBError Flush();
    uint32_t Written() const { return m_nWritten; }

private:
    DBError Start();

    DatabaseLock::Guard m_Guard;
    CDatabaseImp& m_Db;
    CBuffer m_Pending;
    uint32_t m_nCapacity = 0;
    uint32_t m_nPending = 0;
    uint32_t m_nFirst = 0;  // number of the first record appended here
    uint32_t m_nWritten = 0;
    bool m_bStarted = false;
    bool m_bFailed = false;
};

#endif
