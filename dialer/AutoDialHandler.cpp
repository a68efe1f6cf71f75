// The RAS AutoDial hook of the service connectoid: starts the connection
// application beside the library and waits until it ends or its dialer
// reports the connection up (or given up) through "AutoDial Semaphore".
#include <win95/Exports.h>

#include <cstdio>
#include <cstring>

#include "api/ModuleInstance.h"
#include "diag/Logs.h"
#include "diag/ScopedHandle.h"
#include "dialer/ServiceNames.h"

namespace {

const DWORD kModulePathSize = 256;
// The command line: the program's path in quotes, a blank and the switch.
const DWORD kCommandSize = kModulePathSize + 2;

// "Connect.exe" in the library's directory, formed in the module path
// buffer, and the command line that starts it. The path is passed as the
// application name and quoted in the command line, so that a directory with
// blanks ("C:\Program Files\...") can name no other program (unquoted,
// "C:\Program.exe" would be tried first); the program still sees "/S" as
// its argument. False (with ERROR_FILENAME_EXCED_RANGE) when the directory
// leaves no room for "Connect.exe /S" in the module path buffer.
bool FormCommandLine(char (&program)[kModulePathSize], char (&command)[kCommandSize]) {
    DWORD length = GetModuleFileNameA(GetModuleInstance(), program, kModulePathSize);
    if (length >= kModulePathSize) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    program[length] = '\0';
    char* slash = std::strrchr(program, '\\');
    size_t start = slash ? static_cast<size_t>(slash - program) + 1 : 0;
    if (start + sizeof kConnectProgram + sizeof kConnectSwitch > kModulePathSize) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    std::memcpy(program + start, kConnectProgram, sizeof kConnectProgram);
    std::snprintf(command, sizeof command, "\"%s\" %s", program, kConnectSwitch);
    return true;
}

void Answer(LPDWORD retCode, DWORD value) {
    if (retCode) *retCode = value;
}

}  // namespace

extern "C" BOOL WINAPI AutoDialHandler(HWND, LPSTR entryName, DWORD, LPDWORD retCode) {
    if (!entryName || std::strcmp(entryName, kServiceConnectoidName) != 0) {
        Answer(retCode, 0);
        g_Log(LOG_INFO) << "AutoDialHandler: Called for connectoid " << entryName
                        << " - ignoring\n";
        return FALSE;
    }
    g_Log(LOG_INFO) << "AutoDialHandler: Winexec Connect.exe\n";

    char program[kModulePathSize];
    char command[kCommandSize];
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    PROCESS_INFORMATION process = {};
    // The semaphore exists before the application starts: a release its
    // dialer makes at once is not lost.
    KernelObject semaphore(CreateSemaphoreA(nullptr, 0, 2, kAutoDialSemaphoreName));
    if (!FormCommandLine(program, command) ||
        !CreateProcessA(program, command, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process)) {
        DWORD error = GetLastError();
        Answer(retCode, error);
        g_Log(LOG_ERROR) << "AutoDialHandler: CreateProcess failed, Lasterror=" << error << "\n";
        return TRUE;
    }
    KernelObject processHandle(process.hProcess);
    KernelObject threadHandle(process.hThread);

    g_Log(LOG_INFO) << "AutoDialHandler: WaitForMultipleObjects() called\n";
    HANDLE waitFor[2] = {processHandle.Get(), semaphore.Get()};
    WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
    semaphore.Reset();

    DWORD exitCode = 1;
    DWORD read = 0;
    if (GetExitCodeProcess(processHandle.Get(), &read))
        exitCode = read;
    else
        g_Log(LOG_ERROR) << "GetExitCodeProcess() returned FALSE\n";
    g_Log(LOG_INFO) << "AutoDialHandler: connect.exe exit code: " << exitCode << "\n";
    DWORD answer = exitCode == 0 ? 1 : 0;
    Answer(retCode, answer);
    g_Log(LOG_INFO) << "AutoDialHandler: dwRetCode = " << answer << "\n";
    g_Log(LOG_LEAVE | LOG_LEAVE_DETAIL) << "AutoDialHandler: Returning\n";
    return TRUE;
}
