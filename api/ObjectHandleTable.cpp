#include "api/ObjectHandleTable.h"

#include "api/ApiObject.h"

ApiObject* ObjectHandleTable::s_slots[kSlotCount];

DWORD ObjectHandleTable::Insert(ApiObject* object) {
    for (DWORD slot = 0; slot < kSlotCount; ++slot) {
        if (!s_slots[slot]) {
            s_slots[slot] = object;
            return slot + 1;
        }
    }
    return 0;
}

ApiObject* ObjectHandleTable::Lookup(DWORD handle) {
    if (handle < 1 || handle > kSlotCount) return nullptr;
    return s_slots[handle - 1];
}

void ObjectHandleTable::Clear(DWORD handle) {
    if (handle >= 1 && handle <= kSlotCount) s_slots[handle - 1] = nullptr;
}

void ObjectHandleTable::DestroyAllAtUnload() {
    for (ApiObject* object : s_slots) delete object;
}
