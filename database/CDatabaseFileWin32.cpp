// The file seam in the DLL: the _lopen family, as on Windows 95.
#include <windows.h>

#include "database/CDatabaseFile.h"
#include "database/DatabaseFormat.h"

int CDatabaseFile::Open(const char* path, unsigned mode) {
    Close();
    if (!path) return 0;
    if (mode & 2) {
        HFILE created = _lcreat(path, 0);
        if (created == HFILE_ERROR) return 0;
        _lclose(created);
    }
    HFILE handle = _lopen(path, (mode & 1) ? OF_READWRITE : OF_READ);
    if (handle == HFILE_ERROR) return 0;
    m_hFile = handle;
    return 1;
}

void CDatabaseFile::Close() {
    if (!IsOpen()) return;
    _lclose(m_hFile);
    m_hFile = kNoFile;
}

unsigned long CDatabaseFile::Read(void* buffer, unsigned long count) {
    if (!IsOpen()) return 0;
    UINT done = _lread(m_hFile, buffer, count);
    return done == static_cast<UINT>(HFILE_ERROR) ? 0 : done;
}

unsigned long CDatabaseFile::Write(const void* buffer, unsigned long count) {
    if (!IsOpen() || count == 0) return 0;  // _lwrite of 0 bytes would cut the file
    UINT done = _lwrite(m_hFile, static_cast<LPCCH>(buffer), count);
    return done == static_cast<UINT>(HFILE_ERROR) ? 0 : done;
}

// The end found by seeking, then the position put back.
long CDatabaseFile::GetSize() {
    if (!IsOpen()) return -1;
    LONG here = _llseek(m_hFile, 0, FILE_CURRENT);
    LONG end = _llseek(m_hFile, 0, FILE_END);
    if (here != HFILE_ERROR) _llseek(m_hFile, here, FILE_BEGIN);
    return end == HFILE_ERROR ? -1 : end;
}

long CDatabaseFile::SeekTo(long offset, int origin) {
    if (!IsOpen()) return -1;
    LONG position = _llseek(m_hFile, offset, origin == 2 ? FILE_END : FILE_BEGIN);
    return position == HFILE_ERROR ? -1 : position;
}

bool CDatabaseFile::ReadAt(uint64_t offset, void* buffer, uint32_t count) {
    if (!IsOpen() || offset + count > kMaxFileSize) return false;
    if (_llseek(m_hFile, static_cast<LONG>(offset), FILE_BEGIN) != static_cast<LONG>(offset))
        return false;
    return count == 0 || _lread(m_hFile, buffer, count) == count;
}

bool CDatabaseFile::WriteAt(uint64_t offset, const void* buffer, uint32_t count) {
    if (!IsOpen() || offset + count > kMaxFileSize) return false;
    if (_llseek(m_hFile, static_cast<LONG>(offset), FILE_BEGIN) != static_cast<LONG>(offset))
        return false;
    return count == 0 || _lwrite(m_hFile, static_cast<LPCCH>(buffer), count) == count;
}

// _lwrite of zero bytes sets the end of the file at the current position.
bool CDatabaseFile::Truncate(uint64_t size) {
    if (!IsOpen() || size > kMaxFileSize) return false;
    if (_llseek(m_hFile, static_cast<LONG>(size), FILE_BEGIN) != static_cast<LONG>(size))
        return false;
    return _lwrite(m_hFile, "", 0) == 0;
}

bool DatabaseFileFactory::Rename(const char* from, const char* to) {
    return MoveFileA(from, to) != FALSE;
}

bool DatabaseFileFactory::Remove(const char* path) {
    return DeleteFileA(path) != FALSE;
}

bool DatabaseFileFactory::Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool DatabaseFileFactory::PutProfileString(const char* section, const char* key, const char* value,
                                           const char* path) {
    return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}
