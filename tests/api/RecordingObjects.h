// Test-only objects of the families this library has no class for: every
// slot records its name and arguments, so a test can see which slot an
// export reached and what it passed on.
#ifndef WIN95_TESTS_RECORDINGOBJECTS_H
#define WIN95_TESTS_RECORDINGOBJECTS_H

#include <cstdio>
#include <string>

#include "api/ApplicationObject.h"

// The calls seen, as "Name(a,b)" separated by blanks.
class CallLog {
public:
    DWORD Record(const char* name, std::initializer_list<DWORD> args) {
        std::string call = name;
        call += '(';
        bool first = true;
        for (DWORD arg : args) {
            char number[16];
            std::snprintf(number, sizeof number, first ? "%lu" : ",%lu", arg);
            call += number;
            first = false;
        }
        call += ')';
        m_calls += m_calls.empty() ? call : " " + call;
        return 100 + static_cast<DWORD>(m_calls.size() % 100);
    }
    std::string Take() {
        std::string calls = m_calls;
        m_calls.clear();
        return calls;
    }

private:
    std::string m_calls;
};

// Slot bodies: record the call and return a result that depends on it.
#define RECORD0(Name)                 \
    DWORD Name() override {           \
        return log.Record(#Name, {}); \
    }
#define RECORD1(Name)                  \
    DWORD Name(DWORD a) override {     \
        return log.Record(#Name, {a}); \
    }
#define RECORD2(Name)                       \
    DWORD Name(DWORD a, DWORD b) override { \
        return log.Record(#Name, {a, b});   \
    }
#define RECORD3(Name)                                \
    DWORD Name(DWORD a, DWORD b, DWORD c) override { \
        return log.Record(#Name, {a, b, c});         \
    }

class RecordingBrowser : public BrowserInterface {
public:
    explicit RecordingBrowser(CallLog& calls) : log(calls) {}
    RECORD2(AddBookmark)
    RECORD3(GetBookmark)
    RECORD1(RemoveBookmark)
    RECORD1(SetHomePage)
    RECORD2(GetHomePage)
    RECORD1(IsBrowserConfigured)
    RECORD0(BrowserPostSets)
    RECORD0(BrowserPreGets)
    CallLog& log;
};

class RecordingMail : public MailInterface {
public:
    explicit RecordingMail(CallLog& calls) : log(calls) {}
    RECORD2(GetSMTPAddress)
    RECORD1(SetSMTPAddress)
    RECORD2(GetPOP3Address)
    RECORD1(SetPOP3Address)
    RECORD1(SetEmailName)
    RECORD2(GetEmailName)
    RECORD1(SetPOP3Password)
    RECORD2(GetPOP3Password)
    RECORD2(GetPOP3User)
    RECORD1(SetPOP3User)
    RECORD2(GetEmailAddress)
    RECORD1(SetEmailAddress)
    RECORD2(GetOrganization)
    RECORD1(SetOrganization)
    RECORD1(IsMailConfigured)
    RECORD0(MailPostSets)
    RECORD0(MailPreGets)
    CallLog& log;
};

class RecordingNews : public NewsInterface {
public:
    explicit RecordingNews(CallLog& calls) : log(calls) {}
    RECORD1(SetNewsServerAddress)
    RECORD2(GetNewsServerAddress)
    RECORD1(IsNewsConfigured)
    RECORD0(NewsPostSets)
    RECORD0(NewsPreGets)
    CallLog& log;
};

// An application object with the sub-interfaces chosen at construction.
class RecordingApplication : public ApplicationObject {
public:
    RecordingApplication(CallLog& calls, bool browser, bool mail, bool news,
                         DWORD classId = 0x7E570001)
        : ApplicationObject(classId, "Recording Application"),
          log(calls),
          m_browser(calls),
          m_mail(calls),
          m_news(calls),
          m_hasBrowser(browser),
          m_hasMail(mail),
          m_hasNews(news) {}
    RECORD1(LaunchApp)
    RECORD0(Terminate)
    RECORD1(IsRunning)
    RECORD3(IsInstalled)
    BrowserInterface* GetBrowserInterface() override { return m_hasBrowser ? &m_browser : nullptr; }
    MailInterface* GetMailInterface() override { return m_hasMail ? &m_mail : nullptr; }
    NewsInterface* GetNewsInterface() override { return m_hasNews ? &m_news : nullptr; }
    CallLog& log;

private:
    RecordingBrowser m_browser;
    RecordingMail m_mail;
    RecordingNews m_news;
    bool m_hasBrowser, m_hasMail, m_hasNews;
};

class RecordingSystem : public SystemObject {
public:
    explicit RecordingSystem(CallLog& calls)
        : SystemObject(0x7E570002, "Recording System"), log(calls) {}
    RECORD1(ComponentsInstalled)
    RECORD1(InstallComponents)
    RECORD1(Uninstall)
    RECORD2(GetWinsockName)
    RECORD1(IsMachinePCMCIA)
    CallLog& log;
};

#undef RECORD0
#undef RECORD1
#undef RECORD2
#undef RECORD3

#endif
