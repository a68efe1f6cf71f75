// Load and unload of the library, called from the DLL entry point (and by
// tests that link the library statically).
//
// Static initialisation has constructed the global log streams before
// LibraryAttach runs; they are destroyed after LibraryDetach, so objects
// destroyed at unload can still log.
#ifndef WIN95_API_LIBRARY_H
#define WIN95_API_LIBRARY_H

#include <windows.h>

// Process attach: stores the module instance, creates the library lock.
void LibraryAttach(HINSTANCE instance);
// Thread attach and detach: stores the module instance again.
void LibraryThreadNotification(HINSTANCE instance);
// Process detach: stores the module instance, deletes the library lock, then
// destroys every object still in the handle table (without any lock). When
// the process is ending (rather than the library being freed), the loader
// lock is held and the other threads are gone: the objects then free their
// memory only.
void LibraryDetach(HINSTANCE instance, bool processEnding = false);

#endif
