// The record object of a store: one block in the store's record layout,
// zero-filled at construction, that the engine reads the current record
// into.
#ifndef WIN95_DATABASE_STORERECORDOBJECT_H
#define WIN95_DATABASE_STORERECORDOBJECT_H

#include <cstdint>
#include <cstring>

#include "database/DatabaseRecord.h"

// A zero byte follows the block, so that a text field an import filled to
// its end without a terminator is still read as ending inside the object.
template <class Layout>
class StoreRecordObject : public DatabaseRecord {
public:
    unsigned char* GetData() override { return reinterpret_cast<unsigned char*>(&m_Block.record); }
    unsigned char* GetRecordData() override { return GetData(); }
    uint32_t GetDataSize() override { return sizeof(Layout); }

    Layout& Record() { return m_Block.record; }
    const Layout& Record() const { return m_Block.record; }

protected:
    StoreRecordObject() { std::memset(&m_Block, 0, sizeof m_Block); }

private:
#pragma pack(push, 1)
    struct Block {
        Layout record;
        char end;  // always 0
    };
#pragma pack(pop)
    Block m_Block;
};

#endif
