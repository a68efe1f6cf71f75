// The file seam natively: POSIX descriptors, positioned reads and writes,
// renames.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "database/CDatabaseFile.h"
#include "database/DatabaseFormat.h"

int CDatabaseFile::Open(const char* path, unsigned mode) {
    Close();
    if (!path) return 0;
    if (mode & 2) {
        int created = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (created < 0) return 0;
        ::close(created);
    }
    int handle = ::open(path, ((mode & 1) ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (handle < 0) return 0;
    m_hFile = handle;
    return 1;
}

void CDatabaseFile::Close() {
    if (!IsOpen()) return;
    ::close(m_hFile);
    m_hFile = kNoFile;
}

unsigned long CDatabaseFile::Read(void* buffer, unsigned long count) {
    if (!IsOpen()) return 0;
    ssize_t done = ::read(m_hFile, buffer, count);
    return done < 0 ? 0 : static_cast<unsigned long>(done);
}

unsigned long CDatabaseFile::Write(const void* buffer, unsigned long count) {
    if (!IsOpen()) return 0;
    ssize_t done = ::write(m_hFile, buffer, count);
    return done < 0 ? 0 : static_cast<unsigned long>(done);
}

long CDatabaseFile::GetSize() {
    struct stat status;
    if (!IsOpen() || ::fstat(m_hFile, &status) != 0) return -1;
    return status.st_size > static_cast<off_t>(kMaxFileSize) ? static_cast<long>(kMaxFileSize)
                                                             : static_cast<long>(status.st_size);
}

long CDatabaseFile::SeekTo(long offset, int origin) {
    if (!IsOpen()) return -1;
    off_t position = ::lseek(m_hFile, offset, origin == 2 ? SEEK_END : SEEK_SET);
    return (position < 0 || position > static_cast<off_t>(kMaxFileSize))
               ? -1
               : static_cast<long>(position);
}

namespace {

// pread and pwrite may transfer less than asked without failing; they are
// repeated until all is done or nothing moves.
template <typename Bytes, typename Transfer>
bool TransferAll(int handle, uint64_t offset, Bytes* bytes, uint32_t count, Transfer transfer) {
    while (count) {
        ssize_t done = transfer(handle, bytes, count, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes += done;
        offset += static_cast<uint64_t>(done);
        count -= static_cast<uint32_t>(done);
    }
    return true;
}

}  // namespace

bool CDatabaseFile::ReadAt(uint64_t offset, void* buffer, uint32_t count) {
    if (!IsOpen() || offset + count > kMaxFileSize) return false;
    return TransferAll(m_hFile, offset, static_cast<unsigned char*>(buffer), count, ::pread);
}

bool CDatabaseFile::WriteAt(uint64_t offset, const void* buffer, uint32_t count) {
    if (!IsOpen() || offset + count > kMaxFileSize) return false;
    return TransferAll(m_hFile, offset, static_cast<const unsigned char*>(buffer), count, ::pwrite);
}

bool CDatabaseFile::Truncate(uint64_t size) {
    return IsOpen() && size <= kMaxFileSize && ::ftruncate(m_hFile, static_cast<off_t>(size)) == 0;
}

// rename would replace an existing target; MoveFileA, which the DLL uses,
// refuses it, and so does this.
bool DatabaseFileFactory::Rename(const char* from, const char* to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0;
}

bool DatabaseFileFactory::Remove(const char* path) {
    return ::unlink(path) == 0;
}

bool DatabaseFileFactory::Exists(const char* path) {
    struct stat status;
    return ::stat(path, &status) == 0;
}
