#include "tests/support/LogRecorder.h"

#include <cctype>
#include <cstdio>

std::string LoggedMessage::Text() const {
    std::string text;
    for (size_t i = continuation ? 0 : 2; i < pieces.size(); ++i) text += pieces[i];
    return text;
}

void LogRecorder::OnMessage(const char* module, unsigned long mask, int continuation) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_open[std::this_thread::get_id()] = m_messages.size();
    m_messages.push_back(LoggedMessage{module, mask, continuation, {}});
}

// A piece belongs to the message its own thread started last.
void LogRecorder::OnText(const char* module, const char* text) {
    std::lock_guard<std::mutex> hold(m_lock);
    auto open = m_open.find(std::this_thread::get_id());
    if (open == m_open.end() || m_messages[open->second].module != module) {
        m_open[std::this_thread::get_id()] = m_messages.size();
        m_messages.push_back(LoggedMessage{module, 0, 1, {}});
        open = m_open.find(std::this_thread::get_id());
    }
    m_messages[open->second].pieces.push_back(text);
}

std::vector<LoggedMessage> LogRecorder::Take() {
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<LoggedMessage> taken;
    taken.swap(m_messages);
    m_open.clear();
    return taken;
}

std::vector<std::string> LogRecorder::TakeLines(const std::string& module) {
    std::vector<std::string> lines;
    for (const LoggedMessage& message : Take()) {
        if (message.module != module) continue;
        char mask[16];
        std::snprintf(mask, sizeof mask, "%lu|", message.mask);
        lines.push_back(mask + message.Text());
    }
    return lines;
}

bool IsTimePrefix(const std::string& text) {
    const char* shape = "dd/dd dd:dd:dd.ddd ";
    if (text.size() != 19) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i]))
                            : text[i] != shape[i])
            return false;
    }
    return true;
}
