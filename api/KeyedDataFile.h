// Keyed data files: the map from (key, class identifier) pairs to data files
// in the kit's data directory, kept in "filemap.dat" as 24-byte entries:
//   0  32-bit key
//   4  32-bit class identifier
//   8  16 bytes: the data file name, "%8lx.dat" of a time in seconds, a zero
//      byte and 3 bytes without meaning
// Entries are appended in the order they are made; there is no header. A new
// entry replaces an incomplete tail, so that every entry stays on the 24-byte
// steps the lookups read in.
#ifndef WIN95_API_KEYEDDATAFILE_H
#define WIN95_API_KEYEDDATAFILE_H

#include <windows.h>

// Opens the data file of the pair for reading and writing (binary mode) and
// returns its C runtime descriptor, or -1. A new pair gets an entry and a new
// data file whose time-made name no other entry or existing file uses.
int OpenKeyedDataFile(DWORD key, DWORD classId);

#endif
