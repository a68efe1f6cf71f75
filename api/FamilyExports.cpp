// The family exports: one function for every operation of the dialer,
// system and application families and the application object's browser,
// mail and news sub-interfaces. Each checks the handle (1) and the type (3),
// finds the operation (9 when the sub-interface is missing) and passes its
// arguments through unchanged.
#include <win95/Exports.h>

#include "api/ApplicationObject.h"
#include "api/ObjectCall.h"

namespace {

template <class Call>
DWORD CallDialer(DWORD handle, Call call) {
    return CallFamilyObject<DialerObject, WIN95_DIALER_OBJECT>(handle, call);
}

template <class Call>
DWORD CallSystem(DWORD handle, Call call) {
    return CallFamilyObject<SystemObject, WIN95_SYSTEM_OBJECT>(handle, call);
}

template <class Call>
DWORD CallApplication(DWORD handle, Call call) {
    return CallFamilyObject<ApplicationObject, WIN95_APPLICATION_OBJECT>(handle, call);
}

template <class Interface, class Call>
DWORD CallInterface(DWORD handle, Interface* (ApplicationObject::*get)(), Call call) {
    return CallApplication(handle, [&](ApplicationObject* application) -> DWORD {
        Interface* subinterface = (application->*get)();
        if (!subinterface) return WIN95_NO_SUBINTERFACE;
        return call(subinterface);
    });
}

template <class Call>
DWORD CallBrowser(DWORD handle, Call call) {
    return CallInterface(handle, &ApplicationObject::GetBrowserInterface, call);
}

template <class Call>
DWORD CallMail(DWORD handle, Call call) {
    return CallInterface(handle, &ApplicationObject::GetMailInterface, call);
}

template <class Call>
DWORD CallNews(DWORD handle, Call call) {
    return CallInterface(handle, &ApplicationObject::GetNewsInterface, call);
}

// Presence test: 1 or 0 in the out-value, result 0.
template <class Interface>
DWORD TestPresence(DWORD handle, DWORD* supported, Interface* (ApplicationObject::*get)()) {
    return CallApplication(handle, [&](ApplicationObject* application) -> DWORD {
        if (!supported) return WIN95_INVALID_HANDLE;
        *supported = (application->*get)() ? 1 : 0;
        return WIN95_OK;
    });
}

}  // namespace

// FAMILY_EXPORT(caller, target type, name, parameters after the handle,
// arguments) defines the export `name` that calls target->name(arguments).
#define FAMILY_EXPORT(Caller, Target, Name, Params, Args)                                  \
    extern "C" DWORD WINAPI Name(DWORD handle FAMILY_UNPACK Params) {                      \
        return Caller(handle, [&](Target* target) -> DWORD { return target->Name Args; }); \
    }
#define FAMILY_UNPACK(...) __VA_OPT__(, ) __VA_ARGS__

// Dialer (type 3).
FAMILY_EXPORT(CallDialer, DialerObject, Dial, (DialRequest * request), (request))
FAMILY_EXPORT(CallDialer, DialerObject, HangUp, (), ())
FAMILY_EXPORT(CallDialer, DialerObject, GetStatus, (DWORD * status), (status))

// System (type 2).
FAMILY_EXPORT(CallSystem, SystemObject, ComponentsInstalled, (DWORD a), (a))
FAMILY_EXPORT(CallSystem, SystemObject, InstallComponents, (DWORD a), (a))
FAMILY_EXPORT(CallSystem, SystemObject, Uninstall, (DWORD a), (a))
FAMILY_EXPORT(CallSystem, SystemObject, GetWinsockName, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallSystem, SystemObject, IsMachinePCMCIA, (DWORD a), (a))

// Application (type 1); LoadData and SaveData are in DataExports.cpp.
FAMILY_EXPORT(CallApplication, ApplicationObject, LaunchApp, (DWORD a), (a))
FAMILY_EXPORT(CallApplication, ApplicationObject, Terminate, (), ())
FAMILY_EXPORT(CallApplication, ApplicationObject, IsRunning, (DWORD a), (a))
FAMILY_EXPORT(CallApplication, ApplicationObject, IsInstalled, (DWORD a, DWORD b, DWORD c),
              (a, b, c))

extern "C" DWORD WINAPI IsBrowserSupported(DWORD handle, DWORD* supported) {
    return TestPresence(handle, supported, &ApplicationObject::GetBrowserInterface);
}
extern "C" DWORD WINAPI IsMailSupported(DWORD handle, DWORD* supported) {
    return TestPresence(handle, supported, &ApplicationObject::GetMailInterface);
}
extern "C" DWORD WINAPI IsNewsSupported(DWORD handle, DWORD* supported) {
    return TestPresence(handle, supported, &ApplicationObject::GetNewsInterface);
}

// Browser interface (application slot 9).
FAMILY_EXPORT(CallBrowser, BrowserInterface, AddBookmark, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallBrowser, BrowserInterface, GetBookmark, (DWORD a, DWORD b, DWORD c), (a, b, c))
FAMILY_EXPORT(CallBrowser, BrowserInterface, RemoveBookmark, (DWORD a), (a))
FAMILY_EXPORT(CallBrowser, BrowserInterface, SetHomePage, (DWORD a), (a))
FAMILY_EXPORT(CallBrowser, BrowserInterface, GetHomePage, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallBrowser, BrowserInterface, IsBrowserConfigured, (DWORD a), (a))
FAMILY_EXPORT(CallBrowser, BrowserInterface, BrowserPostSets, (), ())
FAMILY_EXPORT(CallBrowser, BrowserInterface, BrowserPreGets, (), ())

// Mail interface (application slot 10).
FAMILY_EXPORT(CallMail, MailInterface, GetSMTPAddress, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallMail, MailInterface, SetSMTPAddress, (DWORD a), (a))
FAMILY_EXPORT(CallMail, MailInterface, GetPOP3Address, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallMail, MailInterface, SetPOP3Address, (DWORD a), (a))
FAMILY_EXPORT(CallMail, MailInterface, SetEmailName, (DWORD a), (a))
FAMILY_EXPORT(CallMail, MailInterface, GetEmailName, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallMail, MailInterface, SetPOP3Password, (DWORD a), (a))
FAMILY_EXPORT(CallMail, MailInterface, GetPOP3Password, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallMail, MailInterface, GetPOP3User, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallMail, MailInterface, SetPOP3User, (DWORD a), (a))
FAMILY_EXPORT(CallMail, MailInterface, GetEmailAddress, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallMail, MailInterface, SetEmailAddress, (DWORD a), (a))
FAMILY_EXPORT(CallMail, MailInterface, GetOrganization, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallMail, MailInterface, SetOrganization, (DWORD a), (a))
FAMILY_EXPORT(CallMail, MailInterface, IsMailConfigured, (DWORD a), (a))
FAMILY_EXPORT(CallMail, MailInterface, MailPostSets, (), ())
FAMILY_EXPORT(CallMail, MailInterface, MailPreGets, (), ())

// News interface (application slot 11).
FAMILY_EXPORT(CallNews, NewsInterface, SetNewsServerAddress, (DWORD a), (a))
FAMILY_EXPORT(CallNews, NewsInterface, GetNewsServerAddress, (DWORD a, DWORD b), (a, b))
FAMILY_EXPORT(CallNews, NewsInterface, IsNewsConfigured, (DWORD a), (a))
FAMILY_EXPORT(CallNews, NewsInterface, NewsPostSets, (), ())
FAMILY_EXPORT(CallNews, NewsInterface, NewsPreGets, (), ())
