// A stand-in for the kit's connection application, started by the AutoDial
// handler as "Connect.exe /S". What it does comes from the environment the
// handler passes on, WIN95_FAKE_CONNECT:
//   exit:N    end at once with exit code N
//   release   release "AutoDial Semaphore" as a connected dialer does, then
//             keep running until the event "Win95FakeConnectQuit" (or 10 s)
// With WIN95_FAKE_CONNECT_STARTS naming a file, every start first appends a
// line "<its own path>|<its first argument>" to that file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    char starts[MAX_PATH] = "";
    if (GetEnvironmentVariableA("WIN95_FAKE_CONNECT_STARTS", starts, sizeof starts)) {
        char self[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, self, sizeof self);
        if (FILE* file = std::fopen(starts, "ab")) {
            std::fprintf(file, "%s|%s\n", self, argc > 1 ? argv[1] : "");
            std::fclose(file);
        }
    }
    char mode[64] = "";
    GetEnvironmentVariableA("WIN95_FAKE_CONNECT", mode, sizeof mode);
    if (std::strncmp(mode, "exit:", 5) == 0) return std::atoi(mode + 5);
    if (std::strcmp(mode, "release") == 0) {
        HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, "Win95FakeConnectQuit");
        HANDLE semaphore = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, "AutoDial Semaphore");
        if (semaphore) {
            ReleaseSemaphore(semaphore, 1, nullptr);
            CloseHandle(semaphore);
        }
        WaitForSingleObject(quit, 10000);
        CloseHandle(quit);
        return 0;
    }
    return 99;
}
