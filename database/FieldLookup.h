// FieldLookup: FieldTable::FindField in constant time, for the import, which
// looks up every field name of every record. A hash table over the
// descriptor names that keeps, for each name, the first descriptor; and
// since texts list the fields in table order, the descriptor after the last
// one found is tried first.
#ifndef WIN95_DATABASE_FIELDLOOKUP_H
#define WIN95_DATABASE_FIELDLOOKUP_H

#include <win95/CBuffer.h>

#include <cstddef>
#include <cstdint>

#include "database/FieldTable.h"

class FieldLookup {
public:
    explicit FieldLookup(const FieldTable& fields);
    // False when the table could not be had.
    bool Ready() const { return m_pSlots != nullptr; }
    // As FieldTable::FindField of the text's first length characters.
    int Find(const char* text, size_t length);

private:
    bool NameIs(int index, const char* text, size_t length) const;

    const FieldTable& m_Fields;
    CBuffer m_Buffer;
    int32_t* m_pSlots;  // descriptor index or -1
    uint32_t m_nMask = 0;
    CBuffer m_First;  // per descriptor: 1 when no earlier one has its name
    uint32_t m_nHint = 0;
};

#endif
