// A new pair's save through "filemap.dat" stopped dead at each of its writes
// (and with that write cut short): afterwards the pair saved before is found
// with its data, and the new pair is found or made anew, never refused for
// good. The number of crash points is printed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "api/KeyedDataFile.h"
#include "api/Library.h"
#include "tests/support/CrashRun.h"
#include "tests/support/KitInstall.h"

namespace {

const DWORD kClass = 0x1000;

class CrashCalls : public KeyedFileCalls {
public:
    CrashCalls() { SetKeyedFileCalls(this); }
    ~CrashCalls() { SetKeyedFileCalls(nullptr); }
    int Open(const char* path, int flags) override {
        if ((flags & _O_CREAT) && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            CrashPoint(nullptr);
        return KeyedFileCalls::Open(path, flags);
    }
    int Write(int fd, const void* bytes, unsigned count) override {
        std::function<void()> half = [&] { KeyedFileCalls::Write(fd, bytes, count / 2); };
        CrashPoint(&half);
        return KeyedFileCalls::Write(fd, bytes, count);
    }
    bool Remove(const char* path) override {
        CrashPoint(nullptr);
        return KeyedFileCalls::Remove(path);
    }
};

// Saves the text as the pair's data, as an application object's SaveData
// slot writes it; true when it is all written.
bool Save(DWORD key, const std::string& text, KeyedFileCalls& calls) {
    int fd = OpenKeyedDataFile(key, kClass);
    if (fd < 0) return false;
    bool written = calls.Write(fd, text.data(), static_cast<unsigned>(text.size())) ==
                   static_cast<int>(text.size());
    _close(fd);
    return written;
}

// The pair's data, or "<refused>".
std::string Load(DWORD key) {
    int fd = OpenKeyedDataFile(key, kClass);
    if (fd < 0) return "<refused>";
    char bytes[256];
    int count = _read(fd, bytes, sizeof bytes);
    _close(fd);
    return std::string(bytes, count > 0 ? static_cast<size_t>(count) : 0);
}

std::string Map(const std::string& dir) {
    return dir + "\\filemap.dat";
}

long MapSize(const std::string& dir) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(Map(dir).c_str(), GetFileExInfoStandard, &data)
               ? static_cast<long>(data.nFileSizeLow)
               : -1;
}

const std::string kFirst = "the first pair's data";
const std::string kSecond = "the second pair's data";

class RuntimeCalls final : public KeyedFileCalls {};

const std::vector<CrashOperation>& Operations() {
    static const std::vector<CrashOperation> operations = {
        {"keyed data file save",
         [](const std::string&) {
             RuntimeCalls calls;
             ASSERT_TRUE(Save(1, kFirst, calls));
         },
         [](const std::string& dir) {
             // The data directory is "data" of the parent's kit.
             KitInstall kit;
             kit.SetKitPath(std::filesystem::path(dir).parent_path().string().c_str());
             kit.SetConfig("DataDir", "data");
             CrashCalls calls;
             if (Save(2, kSecond, calls)) Acknowledge(dir, "saved");
         },
         [](const std::string& dir, int, bool, const std::vector<std::string>& acks) {
             EXPECT_EQ(Load(1), kFirst);
             std::string second = Load(2);
             if (!acks.empty()) {
                 EXPECT_EQ(second, kSecond);
             } else {
                 EXPECT_EQ(second, kSecond.substr(0, second.size())) << "no other bytes";
             }
             EXPECT_EQ(MapSize(dir), 48) << "both entries, whole";
         }},
    };
    return operations;
}

TEST(KeyedDataFileCrashTest, ANewPairsSaveAtEveryWrite) {
    KitInstall kit;
    LibraryAttach(kit.Module());
    kit.SetKitPath(kit.Directory().c_str());
    kit.SetConfig("DataDir", "data");
    const std::string data = kit.Directory() + "\\data";
    CreateDirectoryA(data.c_str(), nullptr);
    int points = RunCrashPoints(Operations().front(), data);
    std::printf("crash points covered: %d\n", points);
    EXPECT_GE(points, 3);
}

}  // namespace

int main(int argc, char** argv) {
    return CrashTestMain(argc, argv, Operations());
}
