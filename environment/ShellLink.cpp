#include "environment/ShellLink.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "diag/BoundedCopy.h"

namespace {

// Releases a COM interface at scope end.
template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_p) m_p->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    Interface* operator->() const { return m_p; }
    void** Out() { return reinterpret_cast<void**>(&m_p); }

private:
    Interface* m_p = nullptr;
};

// COM for the calling thread, balanced when the initialisation took.
class ComScope {
public:
    ComScope() : m_initialised(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (m_initialised) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool m_initialised;
};

// The caller's fixed-width fields, each made a terminated text.
struct LinkTexts {
    explicit LinkTexts(const ShellLinkRecord& record) {
        CopyBounded(target, sizeof target, record.targetPath);
        CopyBounded(link, sizeof link, record.linkPath);
        CopyBounded(description, sizeof description, record.description);
        CopyBounded(arguments, sizeof arguments, record.arguments);
        CopyBounded(workingDirectory, sizeof workingDirectory, record.workingDirectory);
    }
    char target[sizeof ShellLinkRecord::targetPath + 1];
    char link[sizeof ShellLinkRecord::linkPath + 1];
    char description[sizeof ShellLinkRecord::description + 1];
    char arguments[sizeof ShellLinkRecord::arguments + 1];
    char workingDirectory[sizeof ShellLinkRecord::workingDirectory + 1];
};

}  // namespace

DWORD CreateShellLink(const ShellLinkRecord& record) {
    LinkTexts texts(record);
    ComScope com;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.Out())))
        return 8;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out()))) return 8;
    if (FAILED(link->SetPath(texts.target)) || FAILED(link->SetDescription(texts.description)) ||
        FAILED(link->SetIconLocation(texts.target, record.iconIndex)) ||
        FAILED(link->SetWorkingDirectory(texts.workingDirectory)) ||
        FAILED(link->SetArguments(texts.arguments)))
        return 8;
    WCHAR widePath[MAX_PATH + 1];
    if (!MultiByteToWideChar(CP_ACP, 0, texts.link, -1, widePath, MAX_PATH + 1)) return 8;
    return SUCCEEDED(file->Save(widePath, TRUE)) ? 0 : 8;
}
