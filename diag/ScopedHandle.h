// Kernel handles owned by a scope: closed when the owner goes, whatever the
// path out. The traits say which value means "no handle" and how to close.
#ifndef WIN95_DIAG_SCOPEDHANDLE_H
#define WIN95_DIAG_SCOPEDHANDLE_H

#include <windows.h>

template <class Traits>
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle = Traits::Invalid()) : m_handle(handle) {}
    ~ScopedHandle() {
        if (Valid()) Traits::Close(m_handle);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != Traits::Invalid(); }
    // Closes the handle now.
    void Reset() {
        if (Valid()) Traits::Close(m_handle);
        m_handle = Traits::Invalid();
    }

private:
    HANDLE m_handle;
};

// Processes, threads, semaphores, events: null when there is none.
struct KernelObjectTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
// Files from CreateFile: INVALID_HANDLE_VALUE when there is none.
struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
// Directory listings from FindFirstFile.
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { FindClose(handle); }
};

typedef ScopedHandle<KernelObjectTraits> KernelObject;
typedef ScopedHandle<FileTraits> ScopedFile;
typedef ScopedHandle<FindTraits> ScopedFind;

#endif
