// The application (type 1) and system (type 2) object families and the
// application object's three optional sub-interfaces.
//
// The kit defines these families; this library exports their functions but
// creates no class of them. The base slots answer WIN95_NOT_IMPLEMENTED and
// hand out no sub-interface, so a class overrides only what it implements.
// Arguments are passed through from the exports as 32-bit values.
#ifndef WIN95_API_APPLICATIONOBJECT_H
#define WIN95_API_APPLICATIONOBJECT_H

#include "api/ApiObject.h"

// Sub-interfaces have no virtual destructor: the exports never free them.
class BrowserInterface {
public:
    virtual DWORD AddBookmark(DWORD a, DWORD b) = 0;
    virtual DWORD GetBookmark(DWORD a, DWORD b, DWORD c) = 0;
    virtual DWORD RemoveBookmark(DWORD a) = 0;
    virtual DWORD SetHomePage(DWORD a) = 0;
    virtual DWORD GetHomePage(DWORD a, DWORD b) = 0;
    virtual DWORD IsBrowserConfigured(DWORD a) = 0;
    virtual DWORD BrowserPostSets() = 0;
    virtual DWORD BrowserPreGets() = 0;

protected:
    ~BrowserInterface() = default;
};

class MailInterface {
public:
    virtual DWORD GetSMTPAddress(DWORD a, DWORD b) = 0;
    virtual DWORD SetSMTPAddress(DWORD a) = 0;
    virtual DWORD GetPOP3Address(DWORD a, DWORD b) = 0;
    virtual DWORD SetPOP3Address(DWORD a) = 0;
    virtual DWORD SetEmailName(DWORD a) = 0;
    virtual DWORD GetEmailName(DWORD a, DWORD b) = 0;
    virtual DWORD SetPOP3Password(DWORD a) = 0;
    virtual DWORD GetPOP3Password(DWORD a, DWORD b) = 0;
    virtual DWORD GetPOP3User(DWORD a, DWORD b) = 0;
    virtual DWORD SetPOP3User(DWORD a) = 0;
    virtual DWORD GetEmailAddress(DWORD a, DWORD b) = 0;
    virtual DWORD SetEmailAddress(DWORD a) = 0;
    virtual DWORD GetOrganization(DWORD a, DWORD b) = 0;
    virtual DWORD SetOrganization(DWORD a) = 0;
    virtual DWORD IsMailConfigured(DWORD a) = 0;
    virtual DWORD MailPostSets() = 0;
    virtual DWORD MailPreGets() = 0;

protected:
    ~MailInterface() = default;
};

class NewsInterface {
public:
    virtual DWORD SetNewsServerAddress(DWORD a) = 0;
    virtual DWORD GetNewsServerAddress(DWORD a, DWORD b) = 0;
    virtual DWORD IsNewsConfigured(DWORD a) = 0;
    virtual DWORD NewsPostSets() = 0;
    virtual DWORD NewsPreGets() = 0;

protected:
    ~NewsInterface() = default;
};

class ApplicationObject : public ApiObject {
public:
    ApplicationObject(DWORD classId, const char* name);

    virtual DWORD LaunchApp(DWORD a);
    virtual DWORD Terminate();
    virtual DWORD IsRunning(DWORD a);
    virtual DWORD IsInstalled(DWORD a, DWORD b, DWORD c);
    // The keyed data file as a C runtime descriptor, open for reading and
    // writing; the export closes it after the call.
    virtual DWORD LoadData(int fd);
    virtual DWORD SaveData(int fd);
    virtual BrowserInterface* GetBrowserInterface();
    virtual MailInterface* GetMailInterface();
    virtual NewsInterface* GetNewsInterface();
};

class SystemObject : public ApiObject {
public:
    SystemObject(DWORD classId, const char* name);

    virtual DWORD ComponentsInstalled(DWORD a);
    virtual DWORD InstallComponents(DWORD a);
    virtual DWORD Uninstall(DWORD a);
    virtual DWORD GetWinsockName(DWORD a, DWORD b);
    virtual DWORD IsMachinePCMCIA(DWORD a);
};

#endif
