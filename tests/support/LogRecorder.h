// Records what the log streams produce, through the log observer: each
// message with its module, category mask and pieces, also when several
// threads log at once. Portable: the same tests run natively and under Wine.
#ifndef WIN95_TESTS_LOGRECORDER_H
#define WIN95_TESTS_LOGRECORDER_H

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "diag/VLogOutImp.h"

struct LoggedMessage {
    std::string module;
    unsigned long mask;
    int continuation;
    std::vector<std::string> pieces;  // the time and module prefix included

    // The message's text without the prefix pieces.
    std::string Text() const;
};

class LogRecorder : public VLogObserver {
public:
    LogRecorder() { SetLogObserver(this); }
    ~LogRecorder() { SetLogObserver(nullptr); }
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    void OnMessage(const char* module, unsigned long mask, int continuation) override;
    void OnText(const char* module, const char* text) override;

    // The messages since the last Take, and forgets them.
    std::vector<LoggedMessage> Take();
    // "mask|text" per message of one module, for compact comparisons.
    std::vector<std::string> TakeLines(const std::string& module);

private:
    std::mutex m_lock;
    std::vector<LoggedMessage> m_messages;
    // Per thread, the index of the message its pieces go to.
    std::map<std::thread::id, size_t> m_open;
};

// True when text has the shape of the time prefix "MM/DD hh:mm:ss.mmm ".
bool IsTimePrefix(const std::string& text);

#endif
