// Keyed data files: the map from (key, class identifier) pairs to data files
// in the kit's data directory, kept in "filemap.dat" as 24-byte entries:
//   0  32-bit key
//   4  32-bit class identifier
//   8  16 bytes: the data file name, "%8lx.dat" of a time in seconds, a zero
//      byte and 3 bytes without meaning
// Entries are appended in the order they are made; there is no header. A new
// entry replaces an incomplete tail, so that every entry stays on the 24-byte
// steps the lookups read in. A new pair's data file is made before its entry
// is written: an entry never names a file that is not there (a crash between
// leaves an empty data file that no entry names, and whose name is not used
// again).
#ifndef WIN95_API_KEYEDDATAFILE_H
#define WIN95_API_KEYEDDATAFILE_H

#include <windows.h>

// Opens the data file of the pair for reading and writing (binary mode) and
// returns its C runtime descriptor, or -1. A new pair gets an entry and a new
// data file whose time-made name no other entry or existing file uses.
int OpenKeyedDataFile(DWORD key, DWORD classId);

// The calls by which the keyed data files change the disk: the C runtime's,
// replaceable by a test that makes them fail or stops the process at one of
// them.
class KeyedFileCalls {
public:
    // _open(path, flags, _S_IREAD | _S_IWRITE); with _O_CREAT it may make
    // the file.
    virtual int Open(const char* path, int flags);
    virtual int Write(int fd, const void* bytes, unsigned count);
    virtual bool Remove(const char* path);

protected:
    ~KeyedFileCalls() = default;
};

// Installs the calls (null: the C runtime's again). Process-wide; set it
// while no lookup runs.
void SetKeyedFileCalls(KeyedFileCalls* calls);

#endif
