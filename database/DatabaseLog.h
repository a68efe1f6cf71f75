// The category masks of the database's messages on g_DbLog, and the number
// form they use: every number as the 32-bit unsigned value it is on the
// target (so -1 reads 4294967295).
#ifndef WIN95_DATABASE_DATABASELOG_H
#define WIN95_DATABASE_DATABASELOG_H

#include <cstdint>

#include "diag/Logs.h"

constexpr unsigned long kLogFailure = LOG_ERROR;
constexpr unsigned long kLogEnter = LOG_ENTER | LOG_ENTER_DETAIL;  // 10
constexpr unsigned long kLogLeave = LOG_LEAVE | LOG_LEAVE_DETAIL;  // 20
constexpr unsigned long kLogEnterStep = LOG_ENTER_DETAIL;          // 8
constexpr unsigned long kLogLeaveStep = LOG_LEAVE_DETAIL;          // 16
constexpr unsigned long kLogProgress = LOG_INFO;                   // 256

inline unsigned long LogNumber(uint32_t value) {
    return static_cast<unsigned long>(value);
}
inline unsigned long LogNumber(int32_t value) {
    return static_cast<unsigned long>(static_cast<uint32_t>(value));
}

#endif
