// The database lock: one process-wide, re-entrant lock that serialises all
// file work of the engine. It exists while objects use it: constructing a
// CDatabaseImp or CDatabaseIndex registers a use (the first creates the
// lock), destroying one unregisters it (the last deletes the lock). A Windows
// critical section in the DLL, a recursive mutex natively.
//
// The use count itself is not guarded: objects are made and destroyed by the
// callers that serialise their opens and closes.
#ifndef WIN95_DATABASE_DATABASELOCK_H
#define WIN95_DATABASE_DATABASELOCK_H

class DatabaseLock {
public:
    static void Register();
    static void Unregister();
    static unsigned Users();

    // Holds the lock for its scope; without users there is no lock and the
    // guard does nothing.
    class Guard {
    public:
        Guard();
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        bool m_bEntered;
    };

private:
    // The platform's lock object.
    static void Create();
    static void Delete();
    static void Enter();
    static void Leave();

    static unsigned s_nUsers;
};

#endif
