#include "tests/support/CrashRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kDied = 86;
constexpr int kCompleted = 87;
const char kTraceFile[] = "crash-trace";
const char kAckFile[] = "crash-acks";

// What the child does at the writes; inactive in the parent.
struct ChildPlan {
    bool active = false;
    bool counting = false;  // the first run: counts, and notes which writes can be cut
    int at = 0;
    bool cut = false;
    int writes = 0;
    std::string trace;  // 'c' a write that can be cut short, 'w' another
};
ChildPlan g_plan;

[[noreturn]] void EndNow(int code) {
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
#endif
    _exit(code);
}

std::string In(const std::string& dir, const char* name) {
    return (fs::path(dir) / name).string();
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Runs the operation as the plan says and ends the process.
[[noreturn]] void ChildRun(const CrashOperation& operation, const std::string& dir, int at,
                           bool cut) {
    g_plan = ChildPlan{};
    g_plan.active = true;
    g_plan.counting = at == 0;
    g_plan.at = at;
    g_plan.cut = cut;
    operation.run(dir);
    g_plan.active = false;
    if (at == 0) {
        std::FILE* trace = std::fopen(In(dir, kTraceFile).c_str(), "wb");
        if (trace) {
            std::fwrite(g_plan.trace.data(), 1, g_plan.trace.size(), trace);
            std::fclose(trace);
        }
    }
    EndNow(kCompleted);
}

#ifdef _WIN32
const char kChildArgument[] = "--crash-child";

// This program again, told on its command line what to run.
using Child = HANDLE;

Child StartChild(const CrashOperation& operation, const std::string& dir, int at, bool cut) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" " + kChildArgument + " \"" +
                          operation.name + "\" " + std::to_string(at) + " " + (cut ? "1" : "0") +
                          " \"" + dir + "\"";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  dir.c_str(), &startup, &process);
    CloseHandle(nul);
    if (!started) return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

int WaitChild(Child child) {
    if (!child) return -1;
    WaitForSingleObject(child, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(child, &code);
    CloseHandle(child);
    return static_cast<int>(code);
}
#else
// A fork: the child changes to the directory and runs.
using Child = pid_t;

Child StartChild(const CrashOperation& operation, const std::string& dir, int at, bool cut) {
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t child = fork();
    if (child == 0) {
        if (chdir(dir.c_str()) != 0) _exit(1);
        ChildRun(operation, dir, at, cut);
    }
    return child;
}

int WaitChild(Child child) {
    int status = 0;
    if (child <= 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

void Empty(const std::string& dir) {
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        fs::remove_all(entry.path());
}

std::vector<std::string> Acknowledged(const std::string& dir) {
    std::vector<std::string> lines;
    std::istringstream in(ReadWhole(In(dir, kAckFile)));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The directory as the current one for the scope (the stores' carry-over
// writes its text there).
class InDirectory {
public:
    explicit InDirectory(const std::string& dir) : m_previous(fs::current_path()) {
        fs::current_path(dir);
    }
    ~InDirectory() { fs::current_path(m_previous); }

private:
    fs::path m_previous;
};

}  // namespace

void CrashPoint(const std::function<void()>* half) {
    if (!g_plan.active) return;
    ++g_plan.writes;
    if (g_plan.counting) {
        g_plan.trace += half ? 'c' : 'w';
        return;
    }
    if (g_plan.writes != g_plan.at) return;
    if (g_plan.cut && half) (*half)();
    EndNow(kDied);
}

void Acknowledge(const std::string& dir, const std::string& line) {
    std::FILE* acks = std::fopen(In(dir, kAckFile).c_str(), "ab");
    if (!acks) return;
    std::fputs((line + "\n").c_str(), acks);
    std::fclose(acks);
}

int RunCrashPoints(const CrashOperation& operation, const std::string& dir, int parallel,
                   bool cutShort) {
    auto prepare = [&](const std::string& where) {
        fs::create_directories(where);
        Empty(where);
        InDirectory here(where);
        operation.setup(where);
    };
    // Each child at work has a directory of its own.
    std::vector<std::string> slots;
    for (int i = 0; i < parallel; ++i)
        slots.push_back(parallel == 1 ? dir : In(dir, std::to_string(i).c_str()));
    prepare(slots[0]);
    EXPECT_EQ(WaitChild(StartChild(operation, slots[0], 0, false)), kCompleted)
        << operation.name << ": the run that counts the writes";
    const std::string trace = ReadWhole(In(slots[0], kTraceFile));
    EXPECT_FALSE(trace.empty()) << operation.name << ": no write went through the seams";
    struct Point {
        int n;
        bool cut;
    };
    std::vector<Point> points;
    for (bool cut : {false, true})
        for (size_t n = 1; n <= trace.size(); ++n)
            if (!cut || (cutShort && trace[n - 1] == 'c'))
                points.push_back({static_cast<int>(n), cut});
    int covered = 0;
    for (size_t first = 0; first < points.size(); first += slots.size()) {
        std::vector<Child> children;
        for (size_t k = 0; k < slots.size() && first + k < points.size(); ++k) {
            prepare(slots[k]);
            children.push_back(
                StartChild(operation, slots[k], points[first + k].n, points[first + k].cut));
        }
        for (size_t k = 0; k < children.size(); ++k) {
            const Point& point = points[first + k];
            SCOPED_TRACE(operation.name + ": dies at write " + std::to_string(point.n) +
                         (point.cut ? ", cut short" : ""));
            int code = WaitChild(children[k]);
            if (code != kDied) {
                ADD_FAILURE() << "the child ended with " << code << " instead of dying";
                continue;
            }
            InDirectory here(slots[k]);
            operation.check(slots[k], point.n, point.cut, Acknowledged(slots[k]));
            ++covered;
        }
        if (::testing::Test::HasFatalFailure()) break;
    }
    return covered;
}

int CrashTestMain(int argc, char** argv, const std::vector<CrashOperation>& operations) {
#ifdef _WIN32
    if (argc == 6 && std::string(argv[1]) == kChildArgument) {
        for (const CrashOperation& operation : operations) {
            if (operation.name == argv[2])
                ChildRun(operation, argv[5], std::atoi(argv[3]), std::string(argv[4]) == "1");
        }
        return 1;
    }
#endif
    ::testing::InitGoogleTest(&argc, argv);
    (void)operations;
    return RUN_ALL_TESTS();
}
