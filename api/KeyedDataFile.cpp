#include "api/KeyedDataFile.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "api/ModuleInstance.h"
#include "environment/ConfigPaths.h"

namespace {

#pragma pack(push, 1)
struct FileMapEntry {
    DWORD key;
    DWORD classId;
    char name[16];
};
#pragma pack(pop)
static_assert(sizeof(FileMapEntry) == 24, "filemap.dat entry");

const int kMaxNameTries = 1 << 20;

class RuntimeCalls final : public KeyedFileCalls {};
RuntimeCalls g_runtimeCalls;
KeyedFileCalls* g_pCalls = &g_runtimeCalls;

// Closes a C runtime descriptor at scope end.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) _close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

void JoinPath(char* out, size_t size, const char* dir, const char* name) {
    std::snprintf(out, size, "%s\\%s", dir, name);
}

// 1 when an entry of the map has the data file name, 0 when none has, -1
// when the map cannot be read.
int NameInMap(int map, const char* name) {
    if (_lseek(map, 0, SEEK_SET) != 0) return -1;
    FileMapEntry entry;
    while (_read(map, &entry, sizeof entry) == static_cast<int>(sizeof entry)) {
        entry.name[sizeof entry.name - 1] = '\0';
        if (_stricmp(entry.name, name) == 0) return 1;
    }
    return 0;
}

// A "%8lx.dat" name from the current time, advanced by one second while the
// name is taken by another entry or an existing file: two pairs made in the
// same second must not share a data file.
bool MakeDataFileName(int map, const char* dir, char* name, size_t size) {
    unsigned long stamp = static_cast<unsigned long>(std::time(nullptr));
    char path[MAX_PATH + 32];
    for (int tries = 0; tries < kMaxNameTries; ++tries, ++stamp) {
        std::snprintf(name, size, "%8lx.dat", stamp & 0xFFFFFFFFUL);
        JoinPath(path, sizeof path, dir, name);
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) continue;
        int taken = NameInMap(map, name);
        if (taken < 0) return false;
        if (taken == 0) return true;
    }
    return false;
}

}  // namespace

int KeyedFileCalls::Open(const char* path, int flags) {
    return _open(path, flags, _S_IREAD | _S_IWRITE);
}

int KeyedFileCalls::Write(int fd, const void* bytes, unsigned count) {
    return _write(fd, bytes, count);
}

bool KeyedFileCalls::Remove(const char* path) {
    return DeleteFileA(path) != FALSE;
}

void SetKeyedFileCalls(KeyedFileCalls* calls) {
    g_pCalls = calls ? calls : &g_runtimeCalls;
}

int OpenKeyedDataFile(DWORD key, DWORD classId) {
    // An unknown data directory leaves the directory empty: the files are
    // then looked for at the root of the current drive.
    char dir[256] = {};
    DWORD length = sizeof dir;
    QueryDataDirPath(GetModuleInstance(), dir, &length);

    char path[MAX_PATH + 32];
    JoinPath(path, sizeof path, dir, "filemap.dat");
    Descriptor map(g_pCalls->Open(path, _O_RDWR | _O_CREAT | _O_BINARY));
    if (map.Get() < 0) return -1;

    FileMapEntry entry;
    long complete = 0;
    while (_read(map.Get(), &entry, sizeof entry) == static_cast<int>(sizeof entry)) {
        ++complete;
        if (entry.key == key && entry.classId == classId) {
            entry.name[sizeof entry.name - 1] = '\0';
            JoinPath(path, sizeof path, dir, entry.name);
            return _open(path, _O_RDWR | _O_BINARY);
        }
    }

    FileMapEntry added = {};
    added.key = key;
    added.classId = classId;
    if (!MakeDataFileName(map.Get(), dir, added.name, sizeof added.name)) return -1;
    // The data file first, so that the entry never names a missing file. The
    // entry goes right after the last complete one. An incomplete tail (a
    // write that came short) is no entry anyone can find; an entry put after
    // it would be out of step with the 24-byte reads of every later lookup
    // and never be found either.
    JoinPath(path, sizeof path, dir, added.name);
    int data = g_pCalls->Open(path, _O_RDWR | _O_CREAT | _O_BINARY);
    if (data < 0) return -1;
    const long end = complete * static_cast<long>(sizeof entry);
    if (_lseek(map.Get(), end, SEEK_SET) != end ||
        g_pCalls->Write(map.Get(), &added, sizeof added) != static_cast<int>(sizeof added)) {
        // No entry: the new, empty file goes again.
        _close(data);
        g_pCalls->Remove(path);
        return -1;
    }
    return data;
}
