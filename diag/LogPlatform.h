// What the log stream needs from the platform besides its implementation:
// the local time prefix, the debugger output for its own error reports, and
// a pause while another thread loads a stream's settings.
#ifndef WIN95_DIAG_LOGPLATFORM_H
#define WIN95_DIAG_LOGPLATFORM_H

#include <cstddef>

// "%02d/%02d %02d:%02d:%02d.%03d " from the local month, day and time.
void FormatLogTime(char* out, size_t size);
// Passes a text to the debugger output, whatever the log settings say.
void DebuggerOutput(const char* text);
// Lets the other threads run for a moment.
void YieldToOtherThreads();

#endif
