#include "tools/kitdb/IndexScan.h"

#include <cstring>
#include <set>

#include "database/CDatabaseFile.h"
#include "database/CDatabaseIndex.h"
#include "tools/kitdb/Tool.h"

namespace {

// An index larger than this is not read into memory.
constexpr uint64_t kMaxIndexBytes = 256u << 20;

std::string Slot(uint32_t number) {
    return "slot " + std::to_string(number);
}

class Scanner {
public:
    Scanner(IndexScan& scan, CDatabaseImp& imp, int64_t keyOffset, const std::string& bytes)
        : m_Scan(scan), m_Imp(imp), m_nKeyOffset(keyOffset), m_Bytes(bytes) {
        uint32_t count = 0;
        m_Imp.GetRecordCount(&count);
        m_nRecords = count;
        m_Record.resize(m_Imp.Fields().RecordSize());
    }

    void Chain(uint32_t bucket) {
        const IndexHeader& h = m_Scan.header;
        uint32_t slot = bucket;
        uint32_t length = 0;
        if (Number(slot) == -1) {
            if (Next(slot) != 0) Problem(Slot(slot) + " is an empty bucket head with a chain");
            return;
        }
        ++m_Scan.bucketsUsed;
        for (;;) {
            if (!m_Visited.insert(slot).second) {
                Problem("bucket " + std::to_string(bucket) + ": the chain comes back to " +
                        Slot(slot));
                break;
            }
            ++length;
            ++m_Scan.keys;
            Entry(bucket, slot);
            uint32_t next = Next(slot);
            if (next == 0) break;
            if (next < h.bucketCount || next >= m_Scan.slots) {
                Problem(Slot(slot) + " links to " + Slot(next) + ", which is no overflow slot");
                break;
            }
            slot = next;
        }
        if (length > m_Scan.longestChain) m_Scan.longestChain = length;
    }

    void Orphans() {
        uint32_t unreached = 0;
        for (uint32_t s = m_Scan.header.bucketCount; s < m_Scan.slots; ++s)
            if (!m_Visited.count(s)) ++unreached;
        if (unreached) Problem(std::to_string(unreached) + " overflow slots belong to no chain");
    }

private:
    const unsigned char* At(uint32_t slot) const {
        return reinterpret_cast<const unsigned char*>(m_Bytes.data()) + sizeof(IndexHeader) +
               uint64_t{slot} * m_Scan.header.slotSize;
    }
    int32_t Number(uint32_t slot) const {
        int32_t number;
        std::memcpy(&number, At(slot), 4);
        return number;
    }
    uint32_t Next(uint32_t slot) const {
        uint32_t next;
        std::memcpy(&next, At(slot) + 4, 4);
        return next;
    }

    void Entry(uint32_t bucket, uint32_t slot) {
        const IndexHeader& h = m_Scan.header;
        const char* key = reinterpret_cast<const char*>(At(slot) + 8);
        size_t length = strnlen(key, h.keyLength + 1);
        std::string where = "bucket " + std::to_string(bucket) + ", " + Slot(slot);
        if (h.keyType == kFieldText && HashKeyBytes(key, length, h.bucketCount) != bucket)
            Problem(where + ": its key does not belong in this bucket");
        int32_t number = Number(slot);
        if (number < 0 || static_cast<uint32_t>(number) >= m_nRecords) {
            Problem(where + ": points at record " + std::to_string(number) + ", but there are " +
                    std::to_string(m_nRecords) + " records");
            return;
        }
        DBError read = m_Imp.ReadRecord(static_cast<uint32_t>(number), m_Record.data(),
                                        static_cast<uint32_t>(m_Record.size()));
        if (read != DB_OK) {
            Problem(where + ": points at record " + std::to_string(number) +
                    (read == DB_RECORD_REMOVED ? ", which is removed" : ", which cannot be read"));
            return;
        }
        if (m_nKeyOffset < 0 || static_cast<uint64_t>(m_nKeyOffset) >= m_Record.size()) return;
        const char* text = reinterpret_cast<const char*>(m_Record.data() + m_nKeyOffset);
        size_t room = m_Record.size() - static_cast<size_t>(m_nKeyOffset);
        size_t textLength = strnlen(text, room < h.keyLength ? room : h.keyLength);
        if (textLength != length || std::memcmp(text, key, length) != 0)
            Problem(where + ": its key \"" + std::string(key, length) + "\" is not record " +
                    std::to_string(number) + "'s key \"" + std::string(text, textLength) + "\"");
    }

    void Problem(const std::string& text) { m_Scan.problems.push_back(text); }

    IndexScan& m_Scan;
    CDatabaseImp& m_Imp;
    int64_t m_nKeyOffset;
    const std::string& m_Bytes;
    uint32_t m_nRecords = 0;
    std::vector<unsigned char> m_Record;
    std::set<uint32_t> m_Visited;
};

// The header's own checks; false when the slots cannot be walked.
bool HeaderUsable(IndexScan& scan) {
    const IndexHeader& h = scan.header;
    auto refuse = [&scan](IndexState state, const std::string& text) {
        scan.state = state;
        scan.problems.push_back(text);
        return false;
    };
    if (h.magic == 0)
        return refuse(IndexState::kUnsealed, "unsealed: a change of it was interrupted");
    if (h.magic != kIndexMagic)
        return refuse(IndexState::kNotAnIndex, "not an index file (magic " + Hex32(h.magic) +
                                                   ", not " + Hex32(kIndexMagic) + ")");
    if (h.version != kIndexVersion)
        return refuse(IndexState::kVersion,
                      "index version " + std::to_string(h.version) + ", not 47");
    if (h.keyType < 1 || h.keyType > 4 || h.slotSize != uint64_t{h.keyLength} + 9 ||
        h.bucketCount == 0)
        return refuse(IndexState::kImpossible, "impossible header: key type " +
                                                   std::to_string(h.keyType) + ", key length " +
                                                   std::to_string(h.keyLength) + ", slot size " +
                                                   std::to_string(h.slotSize) + ", " +
                                                   std::to_string(h.bucketCount) + " buckets");
    if (scan.slots < h.bucketCount)
        return refuse(IndexState::kImpossible, "the file ends before its " +
                                                   std::to_string(h.bucketCount) + " bucket heads");
    scan.state = IndexState::kReadable;
    return true;
}

}  // namespace

int64_t KeyOffsetOf(const FieldTable& fields) {
    int index = fields.FindField("Description");
    if (index < 0 || fields.GetFieldType(index) != kFieldText) return -1;
    return fields.GetFieldOffset(index);
}

IndexScan ScanIndex(const std::string& path, CDatabaseImp& imp, int64_t keyOffset) {
    IndexScan scan;
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file || !file->Open(path.c_str(), CDatabaseFile::kReadOnly)) {
        const bool missing = !DatabaseFileExists(path.c_str());
        scan.state = missing ? IndexState::kMissing : IndexState::kUnreadable;
        scan.problems.push_back(missing ? "missing" : "cannot be opened for reading");
        return scan;
    }
    scan.state = IndexState::kUnreadable;
    long size = file->GetSize();
    if (size < static_cast<long>(sizeof(IndexHeader)) ||
        static_cast<uint64_t>(size) > kMaxIndexBytes) {
        scan.problems.push_back(size < 0 ? "cannot be read"
                                         : "impossible file size " + std::to_string(size));
        return scan;
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!file->ReadAt(0, bytes.data(), static_cast<uint32_t>(size))) {
        scan.problems.push_back("cannot be read");
        return scan;
    }
    scan.fileSize = static_cast<uint64_t>(size);
    std::memcpy(&scan.header, bytes.data(), sizeof scan.header);
    const IndexHeader& h = scan.header;
    if (h.slotSize) scan.slots = static_cast<uint32_t>((scan.fileSize - sizeof h) / h.slotSize);
    if (!HeaderUsable(scan)) return scan;
    scan.readable = true;
    if ((scan.fileSize - sizeof h) % h.slotSize)
        scan.problems.push_back("the file ends inside a slot");
    if (h.overflowCount != scan.slots - h.bucketCount)
        scan.problems.push_back("overflow count " + std::to_string(h.overflowCount) + ", but " +
                                std::to_string(scan.slots - h.bucketCount) +
                                " overflow slots in the file");
    Scanner scanner(scan, imp, keyOffset, bytes);
    for (uint32_t bucket = 0; bucket < h.bucketCount; ++bucket) scanner.Chain(bucket);
    scanner.Orphans();
    return scan;
}
