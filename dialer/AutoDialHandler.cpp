// The RAS AutoDial hook of the service connectoid: starts the connection
// application beside the library and waits until it ends or its dialer
// reports the connection up (or given up) through "AutoDial Semaphore".
#include <win95/Exports.h>

#include <cstring>

#include "api/ModuleInstance.h"
#include "diag/Logs.h"
#include "diag/ScopedHandle.h"
#include "dialer/ServiceNames.h"

namespace {

const DWORD kModulePathSize = 256;

// "Connect.exe /S" in the library's directory, formed in the module path
// buffer. False (with ERROR_FILENAME_EXCED_RANGE) when the directory leaves
// no room for it.
bool FormCommandLine(char (&command)[kModulePathSize]) {
    DWORD length = GetModuleFileNameA(GetModuleInstance(), command, kModulePathSize);
    if (length >= kModulePathSize) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    command[length] = '\0';
    char* slash = std::strrchr(command, '\\');
    size_t start = slash ? static_cast<size_t>(slash - command) + 1 : 0;
    if (start + sizeof kConnectCommand > kModulePathSize) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    std::memcpy(command + start, kConnectCommand, sizeof kConnectCommand);
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

    char command[kModulePathSize];
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    PROCESS_INFORMATION process = {};
    if (!FormCommandLine(command) ||
        !CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process)) {
        DWORD error = GetLastError();
        Answer(retCode, error);
        g_Log(LOG_ERROR) << "AutoDialHandler: CreateProcess failed, Lasterror=" << error << "\n";
        return TRUE;
    }
    KernelObject processHandle(process.hProcess);
    KernelObject threadHandle(process.hThread);

    {
        KernelObject semaphore(CreateSemaphoreA(nullptr, 0, 2, kAutoDialSemaphoreName));
        g_Log(LOG_INFO) << "AutoDialHandler: WaitForMultipleObjects() called\n";
        HANDLE waitFor[2] = {processHandle.Get(), semaphore.Get()};
        WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
    }

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
