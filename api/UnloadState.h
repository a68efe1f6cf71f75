// Whether the library is being unloaded, and whether because the process is
// ending. Set by the entry point before it destroys the objects left in the
// handle table. At process exit the loader lock is held and every other
// thread is gone: objects then free their memory only (no RAS, TAPI, window
// or COM calls, no waits). When the library is freed while the process goes
// on, nothing of it may be left for other threads to call into.
#ifndef WIN95_API_UNLOADSTATE_H
#define WIN95_API_UNLOADSTATE_H

bool LibraryUnloading();
bool ProcessEnding();
// Load clears both; unload sets the first, and the second at process exit.
void SetUnloadState(bool unloading, bool processEnding);

#endif
