// Cost of the log stream under Wine, each figure against a baseline measured
// in the same run:
//   log_dropped_piece   a piece on a stream whose message is not produced,
//                       against an empty loop (both store their counter on
//                       each pass, so neither loop can be optimised away);
//   log_produced_piece  a produced piece written to a log file, against a
//                       plain open, append and close of the same bytes with
//                       the Windows file functions.
// Prints one line "ratio <name> <ours/baseline>" per figure.
#include <windows.h>

#include <cstdio>
#include <string>

#include "diag/VLogOutPieces.h"

namespace {

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Times ours and the baseline in alternating rounds, so that both see the
// same machine; returns the best round of each, in seconds.
template <class Ours, class Baseline>
void Interleaved(Ours ours, Baseline baseline, double* oursBest, double* baselineBest) {
    *oursBest = *baselineBest = 1e30;
    for (int round = 0; round < 15; ++round) {
        double start = Seconds();
        ours();
        double middle = Seconds();
        baseline();
        double end = Seconds();
        if (middle - start < *oursBest) *oursBest = middle - start;
        if (end - middle < *baselineBest) *baselineBest = end - middle;
    }
}

volatile long g_sink;

void AppendPlain(const char* path, const char* text, DWORD length) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written;
    WriteFile(file, text, length, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int main() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "win95-logbench";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string ini = dir + "\\bench.ini";
    std::string logFile = dir + "\\bench.log";
    std::string plainFile = dir + "\\plain.log";
    WritePrivateProfileStringA("GlobalDebug", "LogFlags", "1", ini.c_str());
    WritePrivateProfileStringA("GlobalDebug", "LogDevices", "2", ini.c_str());
    WritePrivateProfileStringA("GlobalDebug", "LogFile", logFile.c_str(), ini.c_str());
    SetCurrentDirectoryA(dir.c_str());

    VLogOut log("Bench", ini.c_str());
    const long kDropped = 2000000;
    log(256);  // not produced: flags hold only category 1
    double dropped, empty;
    Interleaved(
        [&] {
            for (long i = 0; i < kDropped; ++i) {
                log << i;
                g_sink = i;
            }
        },
        [&] {
            for (long i = 0; i < kDropped; ++i) g_sink = i;
        },
        &dropped, &empty);

    const int kProduced = 200;
    const char piece[] = "CDatabaseImp::ReadRecord(): Invalid record number: 42\r\n";
    log(1, 1);
    double produced, plain;
    Interleaved(
        [&] {
            for (int i = 0; i < kProduced; ++i) log << piece;
        },
        [&] {
            for (int i = 0; i < kProduced; ++i)
                AppendPlain(plainFile.c_str(), piece, sizeof piece - 1);
        },
        &produced, &plain);

    std::printf("%-22s %12s %12s\n", "figure", "ours (ns)", "baseline (ns)");
    std::printf("%-22s %12.2f %12.2f\n", "log_dropped_piece", dropped / kDropped * 1e9,
                empty / kDropped * 1e9);
    std::printf("%-22s %12.0f %12.0f\n", "log_produced_piece", produced / kProduced * 1e9,
                plain / kProduced * 1e9);
    std::printf("ratio log_dropped_piece %.2f\n", dropped / empty);
    std::printf("ratio log_produced_piece %.2f\n", produced / plain);

    DeleteFileA(logFile.c_str());
    DeleteFileA(plainFile.c_str());
    DeleteFileA(ini.c_str());
    SetCurrentDirectoryA(temp);
    RemoveDirectoryA(dir.c_str());
    return 0;
}
