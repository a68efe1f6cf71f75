// Makes the library's global log streams produce every category (on no
// device), so that tests can follow their messages with a LogRecorder. The
// streams read their settings once, at their first message: call this
// before anything logs, e.g. from a test fixture's SetUpTestSuite.
#ifndef WIN95_TESTS_LOGSETUP_H
#define WIN95_TESTS_LOGSETUP_H

void ProduceAllGlobalLogs();

#endif
