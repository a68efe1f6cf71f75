#include "tests/support/ChildTest.h"

void UnshardChildren() {
    SetEnvironmentVariableA("GTEST_TOTAL_SHARDS", nullptr);
    SetEnvironmentVariableA("GTEST_SHARD_INDEX", nullptr);
}

ChildTest::ChildTest(const std::string& filter, const char* variable, const std::string& value)
    : m_process(), m_startError(0) {
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string command = "\"" + std::string(program) + "\" --gtest_filter=" + filter;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    SetEnvironmentVariableA(variable, value.c_str());
    UnshardChildren();
    if (!CreateProcessA(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &m_process)) {
        m_startError = GetLastError();
        m_process = PROCESS_INFORMATION();
    }
    SetEnvironmentVariableA(variable, nullptr);
}

ChildTest::~ChildTest() {
    if (!Started()) return;
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

DWORD ChildTest::Wait(DWORD timeoutMs) {
    DWORD exitCode = 0xFFFFFFFF;
    if (Started() && WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_process.hProcess, &exitCode);
    return exitCode;
}
