// The implementation behind log streams: settings and message state shared
// by reference count between a stream and its copies.
//
// VLogOutImpBase holds the settings (flag and device words, log file paths,
// number base) and declares the platform operations; VLogOutImp adds the
// message state and formats pieces. The platform part (finding and reading
// the log INI file, writing to the debugger output and the log files) is
// built per target: the Windows build reads the INI file; the native build
// produces everything and hands it to the log observer, so the portable
// code, formatting included, is the same in both.
#ifndef WIN95_DIAG_VLOGOUTIMP_H
#define WIN95_DIAG_VLOGOUTIMP_H

#include <atomic>
#include <cstdint>

#include "diag/HeapText.h"
#ifdef _WIN32
#include "diag/VIniFile.h"
#endif

// Test seam: sees every produced message and piece of every stream, after
// the settings decided that the message is produced. Process-wide, not
// locked; set it before the messages of interest and clear it afterwards.
class VLogObserver {
public:
    virtual void OnMessage(const char* module, unsigned long mask, int continuation) = 0;
    virtual void OnText(const char* module, const char* text) = 0;

protected:
    ~VLogObserver() = default;
};
void SetLogObserver(VLogObserver* observer);

class VLogOutImpBase {
public:
    VLogOutImpBase(const char* sectionName, const char* iniName);
    virtual ~VLogOutImpBase();
    VLogOutImpBase(const VLogOutImpBase&) = delete;
    VLogOutImpBase& operator=(const VLogOutImpBase&) = delete;

    virtual void Init() = 0;
    virtual const char* IniFileName() const = 0;
    virtual void Write(const char* text) = 0;
    virtual int IsReadable(const void* pointer, unsigned long size) = 0;
    virtual int IsString(const char* text, unsigned long limit) = 0;
    virtual int IsWritable(void* pointer, unsigned long size) = 0;

    // Whether the constructor could keep its copies (else the stream that
    // made this object stays silent).
    bool Constructed() const { return m_bConstructed; }
    unsigned long GlobalFlags() const { return m_dwGlobalFlags; }
    unsigned long ModuleFlags() const { return m_dwModuleFlags; }

protected:
    HeapText m_pLogDirectory;
#ifdef _WIN32
    VIniFile m_IniFile;
#endif
    int m_nIndentSpacing = 4;
    unsigned long m_dwGlobalDevices = 0;
    unsigned long m_dwGlobalFlags = 0;
    HeapText m_pGlobalLogFile;
    int m_bGlobalHexBase = 0;
    int m_bLogActive = 0;
    HeapText m_pSectionName;
    unsigned long m_dwModuleDevices = 0;
    unsigned long m_dwModuleFlags = 0;
    HeapText m_pSecondLogFile;
    int m_bHexMode = 0;
    bool m_bConstructed = false;
};

class VLogOutImp : public VLogOutImpBase {
public:
    VLogOutImp(const char* sectionName, const char* iniName);
    ~VLogOutImp() override;

    // Loads the settings; only the first call of an implementation reads.
    // Calls from several threads at once are safe: the others wait until
    // the first has read, and all return with the settings loaded.
    void Init() override;
    const char* IniFileName() const override;
    void Write(const char* text) override;
    int IsReadable(const void* pointer, unsigned long size) override;
    int IsString(const char* text, unsigned long limit) override;
    int IsWritable(void* pointer, unsigned long size) override;

    virtual void SetMask(unsigned long mask);
    virtual int IsProducing();
    virtual void Indent();
    virtual void UnIndent();
    virtual void BeginMessage(int continuation);
    virtual void AddRef();
    virtual void Release();  // deletes the object at zero
    virtual void Hex();
    virtual void UnHex();
    virtual void Put(unsigned char value);
    virtual void Put(signed char value);
    virtual void Put(const void* pointer);
    virtual void Put(unsigned long value);
    virtual void Put(long value);
    virtual void Put(unsigned short value);
    virtual void Put(unsigned int value);
    virtual void Put(short value);
    virtual void Put(int value);
    virtual void Put(const char* text);

private:
    bool HexOutput() const { return m_bGlobalHexBase || m_bHexMode; }
    void PutSigned(long value);
    void PutUnsigned(unsigned long value);
    void PutCharacter(int value);
    // Hands one formatted piece to the observer and the devices.
    void Emit(const char* text);
    // The platform's settings load. It must not log: a message on this
    // implementation would wait for the load it is part of.
    void LoadSettings();

    enum LoadState { kUnloaded, kLoading, kLoaded };
    std::atomic<int> m_loadState{kUnloaded};
    uint16_t m_wRefCount = 1;
    unsigned long m_dwMask = 0;
    int m_bProducing = 0;
    int m_nIndentLevel = 0;
};

#endif
