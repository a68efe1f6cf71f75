// SaveData and LoadData through "filemap.dat": entries of 24 bytes, one data
// file per (key, class identifier) pair that never shares its file, the
// data reaching the application object's slots through the descriptor, and
// the codes of the frame.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <win95/Exports.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "api/ApplicationObject.h"
#include "api/KeyedDataFile.h"
#include "api/Library.h"
#include "api/ObjectHandleTable.h"
#include "tests/support/KitInstall.h"

namespace {

// An application object that writes its payload through the descriptor it
// gets and reads back whatever the file holds.
class DataObject : public ApplicationObject {
public:
    explicit DataObject(DWORD classId) : ApplicationObject(classId, "Data") {}

    DWORD SaveData(int fd) override {
        ++calls;
        descriptor = fd;
        _write(fd, payload.data(), static_cast<unsigned>(payload.size()));
        return 0x5A5A;
    }
    DWORD LoadData(int fd) override {
        ++calls;
        descriptor = fd;
        char bytes[256];
        int count = _read(fd, bytes, sizeof bytes);
        loaded.assign(bytes, count > 0 ? static_cast<size_t>(count) : 0);
        return 0xA5A5;
    }

    std::string payload;
    std::string loaded;
    int descriptor = -1;
    int calls = 0;
};

struct MapEntry {
    DWORD key;
    DWORD classId;
    std::string name;  // up to its zero byte
};

std::string TimeName(unsigned long seconds) {
    char name[16];
    std::snprintf(name, sizeof name, "%8lx.dat", seconds);
    return name;
}

std::string EntryBytes(DWORD key, DWORD classId, const std::string& name) {
    std::string bytes(24, '\0');
    std::memcpy(&bytes[0], &key, 4);
    std::memcpy(&bytes[4], &classId, 4);
    std::memcpy(&bytes[8], name.data(), name.size());
    return bytes;
}

class KeyedDataFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        LibraryAttach(kit.Module());
        kit.SetKitPath(kit.Directory().c_str());
        kit.SetConfig("DataDir", "data");
        CreateDirectoryA(Data().c_str(), nullptr);
    }
    void TearDown() override {
        for (DWORD handle = 1; handle <= WIN95_MAX_OBJECTS; ++handle) FreeObject(handle);
    }

    std::string Data() const { return kit.Directory() + "\\data"; }
    std::string DataFile(const std::string& name) const { return Data() + "\\" + name; }
    std::string Map() const { return DataFile("filemap.dat"); }

    DataObject* Add(DWORD classId, DWORD* handle) {
        DataObject* object = new DataObject(classId);
        *handle = ObjectHandleTable::Insert(object);
        EXPECT_NE(*handle, 0u);
        return object;
    }

    std::vector<MapEntry> Entries() const {
        std::string bytes = ReadFileBytes(Map());
        std::vector<MapEntry> entries;
        for (size_t at = 0; at + 24 <= bytes.size(); at += 24) {
            MapEntry entry;
            std::memcpy(&entry.key, &bytes[at], 4);
            std::memcpy(&entry.classId, &bytes[at + 4], 4);
            entry.name = std::string(bytes.c_str() + at + 8);
            entries.push_back(entry);
        }
        return entries;
    }

    KitInstall kit;
};

TEST_F(KeyedDataFileTest, FirstSaveMakesAnEntryAndTheNextCallsFindIt) {
    DWORD handle = 0;
    DataObject* object = Add(0x7E57DA7A, &handle);
    object->payload = "saved bytes";
    const unsigned long before = static_cast<unsigned long>(std::time(nullptr));
    EXPECT_EQ(SaveData(handle, 7), 0x5A5Au);
    const unsigned long after = static_cast<unsigned long>(std::time(nullptr));

    std::string map = ReadFileBytes(Map());
    ASSERT_EQ(map.size(), 24u);
    std::vector<MapEntry> entries = Entries();
    EXPECT_EQ(entries[0].key, 7u);
    EXPECT_EQ(entries[0].classId, 0x7E57DA7Au);
    const std::string name = entries[0].name;
    ASSERT_EQ(name.size(), 12u);
    EXPECT_EQ(map[8 + 12], '\0');
    unsigned long stamp = std::strtoul(name.c_str(), nullptr, 16);
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
    EXPECT_EQ(name, TimeName(stamp));
    EXPECT_EQ(ReadFileBytes(DataFile(name)), "saved bytes");
    // The descriptor was the library's own and is closed after the call.
    EXPECT_EQ(_lseek(object->descriptor, 0, SEEK_CUR), -1);

    EXPECT_EQ(LoadData(handle, 7), 0xA5A5u);
    EXPECT_EQ(object->loaded, "saved bytes");
    object->payload = "again";
    EXPECT_EQ(SaveData(handle, 7), 0x5A5Au);
    EXPECT_EQ(ReadFileBytes(DataFile(name)), "again bytes") << "opened, not emptied";
    EXPECT_EQ(ReadFileBytes(Map()), map) << "no second entry for the pair";
}

TEST_F(KeyedDataFileTest, NewPairsNeverShareADataFile) {
    // The names of this second and the next ones are taken: two by files,
    // one by an entry of another pair.
    const unsigned long now = static_cast<unsigned long>(std::time(nullptr));
    WriteFileBytes(DataFile(TimeName(now)), "mine");
    WriteFileBytes(DataFile(TimeName(now + 1)), "also mine");
    WriteFileBytes(Map(), EntryBytes(99, 99, TimeName(now + 2)));

    DWORD first = 0, second = 0;
    DataObject* a = Add(1, &first);
    DataObject* b = Add(2, &second);
    a->payload = "A";
    b->payload = "B";
    EXPECT_EQ(SaveData(first, 5), 0x5A5Au);
    EXPECT_EQ(SaveData(second, 5), 0x5A5Au);  // the same key, another class

    std::vector<MapEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].key, 5u);
    EXPECT_EQ(entries[1].classId, 1u);
    EXPECT_EQ(entries[2].classId, 2u);
    EXPECT_NE(entries[1].name, entries[2].name);
    for (size_t i = 1; i < 3; ++i) {
        unsigned long stamp = std::strtoul(entries[i].name.c_str(), nullptr, 16);
        EXPECT_GE(stamp, now + 3) << entries[i].name;
        EXPECT_EQ(entries[i].name, TimeName(stamp));
    }
    EXPECT_EQ(ReadFileBytes(DataFile(entries[1].name)), "A");
    EXPECT_EQ(ReadFileBytes(DataFile(entries[2].name)), "B");
    EXPECT_EQ(ReadFileBytes(DataFile(TimeName(now))), "mine");
    EXPECT_EQ(ReadFileBytes(DataFile(TimeName(now + 1))), "also mine");
    EXPECT_FALSE(FileExists(DataFile(TimeName(now + 2))));

    // Two more pairs made back to back, most likely in one second.
    DWORD third = 0, fourth = 0;
    Add(3, &third);
    Add(4, &fourth);
    EXPECT_EQ(LoadData(third, 1), 0xA5A5u);
    EXPECT_EQ(LoadData(fourth, 1), 0xA5A5u);
    entries = Entries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_NE(entries[3].name, entries[4].name);
}

TEST_F(KeyedDataFileTest, AMissingDataFileGivesTwoAndTheEntryStays) {
    DWORD handle = 0;
    DataObject* object = Add(0x1000, &handle);
    ASSERT_EQ(SaveData(handle, 1), 0x5A5Au);
    std::string map = ReadFileBytes(Map());
    std::string name = Entries()[0].name;
    ASSERT_TRUE(DeleteFileA(DataFile(name).c_str()));
    object->calls = 0;

    EXPECT_EQ(SaveData(handle, 1), 2u);
    EXPECT_EQ(LoadData(handle, 1), 2u);
    EXPECT_EQ(object->calls, 0);
    EXPECT_FALSE(FileExists(DataFile(name))) << "an entry's file is not made again";
    EXPECT_EQ(ReadFileBytes(Map()), map);
}

TEST_F(KeyedDataFileTest, AnIncompleteMapTailIsReplacedByTheNextEntry) {
    // One entry of another pair, then six bytes of an entry that was never
    // written whole.
    WriteFileBytes(DataFile("    1234.dat"), "old data");
    std::string tail = "\x07\x00\x00\x00\x01\x00";
    WriteFileBytes(Map(), EntryBytes(3, 0x3000, "    1234.dat") + std::string(tail.data(), 6));

    DWORD handle = 0;
    DataObject* object = Add(0x1000, &handle);
    object->payload = "new data";
    ASSERT_EQ(SaveData(handle, 7), 0x5A5Au);
    std::string map = ReadFileBytes(Map());
    ASSERT_EQ(map.size(), 48u) << "the entry starts at 24, over the tail";
    std::vector<MapEntry> entries = Entries();
    EXPECT_EQ(entries[1].key, 7u);
    EXPECT_EQ(entries[1].classId, 0x1000u);

    // Both entries are found again; no further entry is made.
    EXPECT_EQ(LoadData(handle, 7), 0xA5A5u);
    EXPECT_EQ(object->loaded, "new data");
    DWORD other = 0;
    DataObject* old = Add(0x3000, &other);
    EXPECT_EQ(LoadData(other, 3), 0xA5A5u);
    EXPECT_EQ(old->loaded, "old data");
    EXPECT_EQ(ReadFileBytes(Map()), map);
}

// The data file is made before the entry: a pair whose data file cannot be
// made gets no entry, and one whose entry cannot be written keeps no file;
// either way the next call makes the pair anew.
TEST_F(KeyedDataFileTest, ANewPairGetsItsEntryOnlyWithItsFile) {
    class Failing final : public KeyedFileCalls {
    public:
        explicit Failing(bool entry) : m_entry(entry) { SetKeyedFileCalls(this); }
        ~Failing() { SetKeyedFileCalls(nullptr); }
        int Open(const char* path, int flags) override {
            bool map = std::strstr(path, "filemap.dat") != nullptr;
            return !m_entry && !map ? -1 : KeyedFileCalls::Open(path, flags);
        }
        int Write(int fd, const void* bytes, unsigned count) override {
            return m_entry ? -1 : KeyedFileCalls::Write(fd, bytes, count);
        }

    private:
        bool m_entry;
    };
    DWORD handle = 0;
    DataObject* object = Add(0x1000, &handle);
    object->payload = "kept";
    for (bool entry : {false, true}) {
        SCOPED_TRACE(entry ? "the entry cannot be written" : "the file cannot be made");
        {
            Failing failing(entry);
            EXPECT_EQ(SaveData(handle, 9), 2u);
        }
        EXPECT_EQ(ReadFileBytes(Map()), "") << "no entry";
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(DataFile("*.dat").c_str(), &found);
        std::string files;
        if (search != INVALID_HANDLE_VALUE) {
            do files += std::string(found.cFileName) + " ";
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        EXPECT_EQ(files, "filemap.dat ") << "no data file";
    }
    EXPECT_EQ(SaveData(handle, 9), 0x5A5Au);
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_EQ(ReadFileBytes(DataFile(Entries()[0].name)), "kept");
}

TEST_F(KeyedDataFileTest, FrameCodesComeBeforeTheMap) {
    EXPECT_EQ(SaveData(0, 1), 1u);
    EXPECT_EQ(LoadData(WIN95_MAX_OBJECTS + 1, 1), 1u);
    DWORD dialer = 0;
    ASSERT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, &dialer), 0u);
    EXPECT_EQ(SaveData(dialer, 1), 3u);
    EXPECT_EQ(LoadData(dialer, 1), 3u);
    EXPECT_FALSE(FileExists(Map())) << "no map is made for a refused call";

    // A data directory that does not exist: the map cannot be made.
    kit.SetConfig("DataDir", "missing");
    DWORD handle = 0;
    DataObject* object = Add(0x1000, &handle);
    EXPECT_EQ(SaveData(handle, 1), 2u);
    EXPECT_EQ(LoadData(handle, 1), 2u);
    EXPECT_EQ(object->calls, 0);
}

}  // namespace
