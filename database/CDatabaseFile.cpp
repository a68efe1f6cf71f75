// The platform-independent part of the file seam: text, the line reader,
// seeks and the factory.
#include "database/CDatabaseFile.h"

#include <new>

#include "database/TextWriter.h"

namespace {

constexpr unsigned long kReadAheadSize = 1024;

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

DatabaseFileFactory& TheDatabaseFileFactory() {
    return *g_pFactory;
}

std::unique_ptr<CDatabaseFile> MakeDatabaseFile() {
    return g_pFactory->Make();
}

bool RenameDatabaseFile(const char* from, const char* to) {
    return from && to && g_pFactory->Rename(from, to);
}

bool RemoveDatabaseFile(const char* path) {
    return path && g_pFactory->Remove(path);
}

bool DatabaseFileExists(const char* path) {
    return path && g_pFactory->Exists(path);
}

bool RemoveIfPresent(const char* path) {
    return !DatabaseFileExists(path) || RemoveDatabaseFile(path);
}

CDatabaseFile::CDatabaseFile() = default;

CDatabaseFile::~CDatabaseFile() {
    Close();
}

CBuffer* CDatabaseFile::TextBuffer() {
    if (!m_Scratch.GetPointer() && !m_Scratch.Create(TextWriter::kBufferSize)) return nullptr;
    return &m_Scratch;
}

int CDatabaseFile::WriteText(const char* text) {
    if (!IsOpen() || !text) return 0;
    TextWriter out(*this);
    out << text;
    return out.Finish() ? 1 : 0;
}

bool CDatabaseFile::FillReadAhead() {
    if (!m_ReadAhead.GetPointer() && !m_ReadAhead.Create(kReadAheadSize)) return false;
    m_nAheadPosition = 0;
    m_nAheadEnd = Read(m_ReadAhead.GetPointer(), kReadAheadSize);
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
