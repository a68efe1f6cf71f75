// This test program started again to run one of its own tests as a second
// process: the child half, which skips itself unless the environment
// variable the parent sets for it is there.
#ifndef WIN95_TESTS_CHILDTEST_H
#define WIN95_TESTS_CHILDTEST_H

#include <windows.h>

#include <string>

// A test program runs in shards (GTEST_TOTAL_SHARDS, GTEST_SHARD_INDEX),
// which its children would inherit and then run only their share of the
// tests their filter names, maybe none. GoogleTest read the variables when
// this process started; this removes them from its environment, so that
// the children it starts run their filter whole.
void UnshardChildren();

class ChildTest {
public:
    // Starts "<this program> --gtest_filter=<filter>" with variable set to
    // value for the child alone.
    ChildTest(const std::string& filter, const char* variable, const std::string& value);
    ~ChildTest();
    ChildTest(const ChildTest&) = delete;
    ChildTest& operator=(const ChildTest&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }
    // The system's error when the start failed.
    DWORD StartError() const { return m_startError; }
    HANDLE Process() const { return m_process.hProcess; }
    // Waits up to timeoutMs for the child to end: its exit code, or
    // 0xFFFFFFFF when it did not end (or never started).
    DWORD Wait(DWORD timeoutMs);

private:
    PROCESS_INFORMATION m_process;
    DWORD m_startError;
};

#endif
