// CDatabaseFile: the engine's only door to the file system, one open file
// per object. The DLL build implements it with the _lopen family (_lcreat,
// _lopen, _lread, _lwrite, _llseek, _lclose), the native build with POSIX
// calls; everything above this class is the same in both.
//
// The engine makes every file object through MakeDatabaseFile(), and renames,
// removes and looks for files through the functions below, so a test can
// install a DatabaseFileFactory whose objects (subclasses overriding the
// virtual operations) fail, shorten or interrupt reads, writes and renames.
//
// Offsets are 32-bit signed values on the target: positions past
// kMaxFileSize are refused, never wrapped.
#ifndef WIN95_DATABASE_CDATABASEFILE_H
#define WIN95_DATABASE_CDATABASEFILE_H

#include <win95/CBuffer.h>

#include <cstdint>
#include <memory>

class CDatabaseFile {
public:
    // Open modes: bit 1 read-write access, bit 2 create (or empty) first.
    enum Mode : unsigned { kReadOnly = 0, kReadWrite = 1, kCreate = 3 };

    CDatabaseFile();
    virtual ~CDatabaseFile();  // closes the file
    CDatabaseFile(const CDatabaseFile&) = delete;
    CDatabaseFile& operator=(const CDatabaseFile&) = delete;

    // 1 when the file is open, else 0. Mode kCreate creates the file with
    // normal attributes (emptying an existing one) before opening it.
    virtual int Open(const char* path, unsigned mode);
    virtual void Close();
    // At the current position: bytes transferred, 0 on failure or when not
    // open.
    virtual unsigned long Read(void* buffer, unsigned long count);
    virtual unsigned long Write(const void* buffer, unsigned long count);
    // Writes text at the current position with a carriage return put before
    // every line feed (through a TextWriter). 1 when all of it was written,
    // else 0.
    virtual int WriteText(const char* text);
    // Reads up to the next line end through a read-ahead buffer into at most
    // size - 1 characters, a CR LF pair delivered as one line feed, and
    // terminates the text. 1 when a line was delivered; 0 when not open or
    // at the end of the file.
    virtual int ReadLine(char* buffer, unsigned long size);
    // The file's size, -1 when not open.
    virtual long GetSize();

    // Positioned transfers, which the engine uses: true only when all count
    // bytes went. They leave the current position unspecified.
    virtual bool ReadAt(uint64_t offset, void* buffer, uint32_t count);
    virtual bool WriteAt(uint64_t offset, const void* buffer, uint32_t count);
    // Cuts (or extends) the file to size bytes.
    virtual bool Truncate(uint64_t size);

    // The new position, -1 when not open or on failure. SeekEnd gives the size.
    long SeekStart();
    long SeekEnd();
    long Seek(long offset);

    bool IsOpen() const { return m_hFile != kNoFile; }

    // The buffer in which a TextWriter collects text for this file, made on
    // first use; null when memory is short.
    CBuffer* TextBuffer();

protected:
    static constexpr int kNoFile = -1;
    int m_hFile = kNoFile;  // HFILE in the DLL, a descriptor natively

private:
    long SeekTo(long offset, int origin);  // the platform's seek
    bool FillReadAhead();

    CBuffer m_Scratch;    // the TextWriter's buffer
    CBuffer m_ReadAhead;  // 1024 bytes ahead of ReadLine
    unsigned long m_nAheadPosition = 0;
    unsigned long m_nAheadEnd = 0;
};

// Makes the file objects of the engine and changes the names of files; the
// default makes plain files and calls the platform (MoveFileA, DeleteFileA,
// GetFileAttributesA in the DLL, which Windows 95 has; rename without
// replacing, unlink and stat natively).
class DatabaseFileFactory {
public:
    virtual std::unique_ptr<CDatabaseFile> Make() = 0;
    // Gives the file from the name to; fails when to exists (never replaces).
    virtual bool Rename(const char* from, const char* to);
    // Removes the file; false when it is not there or cannot be removed.
    virtual bool Remove(const char* path);
    virtual bool Exists(const char* path);
#ifdef _WIN32
    // WritePrivateProfileStringA (the backup file's writes; all nulls flush).
    virtual bool PutProfileString(const char* section, const char* key, const char* value,
                                  const char* path);
#endif

protected:
    ~DatabaseFileFactory() = default;
};

// Installs a factory (null: plain files again). Process-wide, not locked.
void SetDatabaseFileFactory(DatabaseFileFactory* factory);
// The installed factory.
DatabaseFileFactory& TheDatabaseFileFactory();
// A new file object, null when memory is short.
std::unique_ptr<CDatabaseFile> MakeDatabaseFile();
// Through the installed factory.
bool RenameDatabaseFile(const char* from, const char* to);
bool RemoveDatabaseFile(const char* path);
bool DatabaseFileExists(const char* path);
// Removes the file when it is there: true when it is gone.
bool RemoveIfPresent(const char* path);

#endif
