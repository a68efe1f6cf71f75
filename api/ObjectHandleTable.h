// The process-wide handle table: 19 slots; the object in slot i has handle
// i + 1, so valid handles are 1..19 and 0 is never a handle. The table owns
// its objects. It takes no lock itself: the exports hold the library lock.
#ifndef WIN95_API_OBJECTHANDLETABLE_H
#define WIN95_API_OBJECTHANDLETABLE_H

#include <windows.h>

class ApiObject;

class ObjectHandleTable {
public:
    enum { kSlotCount = 19 };

    // Stores the object in the lowest free slot; returns its handle, or 0
    // when all slots are taken (the object is then not stored).
    static DWORD Insert(ApiObject* object);
    // The object of a valid handle, or null.
    static ApiObject* Lookup(DWORD handle);
    // Empties the slot of a valid handle without destroying its object.
    static void Clear(DWORD handle);
    // Unload: destroys every object still stored, slot by slot from the
    // first, without clearing the slots.
    static void DestroyAllAtUnload();

private:
    static ApiObject* s_slots[kSlotCount];
};

#endif
