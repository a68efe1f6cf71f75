// The platform-independent part of the file seam: text line ends, the line
// reader, seeks and the factory.
#include "database/CDatabaseFile.h"

#include <new>

namespace {

constexpr unsigned long kTextBufferSize = 1024;

class PlainFiles : public DatabaseFileFactory {
public:
    std::unique_ptr<CDatabaseFile> Make() override {
        return std::unique_ptr<CDatabaseFile>(new (std::nothrow) CDatabaseFile);
    }
};

PlainFiles g_plainFiles;
DatabaseFileFactory* g_pFactory = &g_plainFiles;

}  // namespace

void SetDatabaseFileFactory(DatabaseFileFactory* factory) {
    g_pFactory = factory ? factory : &g_plainFiles;
}

std::unique_ptr<CDatabaseFile> MakeDatabaseFile() {
    return g_pFactory->Make();
}

CDatabaseFile::CDatabaseFile() = default;

CDatabaseFile::~CDatabaseFile() {
    Close();
}

int CDatabaseFile::WriteText(const char* text) {
    if (!IsOpen() || !text) return 0;
    if (!m_Scratch.GetPointer() && !m_Scratch.Create(kTextBufferSize)) return 0;
    unsigned char* scratch = m_Scratch.GetPointer();
    unsigned long used = 0;
    for (; *text; ++text) {
        if (used + 2 > kTextBufferSize) {
            if (Write(scratch, used) != used) return 0;
            used = 0;
        }
        if (*text == '\n') scratch[used++] = '\r';
        scratch[used++] = static_cast<unsigned char>(*text);
    }
    return (used == 0 || Write(scratch, used) == used) ? 1 : 0;
}

bool CDatabaseFile::FillReadAhead() {
    if (!m_ReadAhead.GetPointer() && !m_ReadAhead.Create(kTextBufferSize)) return false;
    m_nAheadPosition = 0;
    m_nAheadEnd = Read(m_ReadAhead.GetPointer(), kTextBufferSize);
    return m_nAheadEnd != 0;
}

int CDatabaseFile::ReadLine(char* buffer, unsigned long size) {
    if (!IsOpen() || !buffer || size == 0) return 0;
    unsigned long length = 0;
    bool delivered = false;
    while (length + 1 < size) {
        if (m_nAheadPosition == m_nAheadEnd && !FillReadAhead()) break;
        char c = static_cast<char>(m_ReadAhead.GetPointer()[m_nAheadPosition++]);
        delivered = true;
        if (c == '\r') {
            if (m_nAheadPosition == m_nAheadEnd && !FillReadAhead()) {
                buffer[length++] = c;
                break;
            }
            if (m_ReadAhead.GetPointer()[m_nAheadPosition] == '\n') continue;
        }
        buffer[length++] = c;
        if (c == '\n') break;
    }
    buffer[length] = '\0';
    return delivered ? 1 : 0;
}

// A seek drops what ReadLine read ahead.
long CDatabaseFile::SeekStart() {
    return Seek(0);
}

long CDatabaseFile::SeekEnd() {
    m_nAheadPosition = m_nAheadEnd = 0;
    return SeekTo(0, 2);
}

long CDatabaseFile::Seek(long offset) {
    m_nAheadPosition = m_nAheadEnd = 0;
    return SeekTo(offset, 0);
}
