// kitdb repair: the smallest change that gives a store that opens cleanly,
// made after a backup copy of every file it changes. An interrupted
// carry-over is finished or undone by the engine's own recovery (and an
// older layout then carried over again by the store's own open); a partial
// place at the end is cut off, a current record beyond the records cleared,
// the open counts set to 0, and a damaged index made anew by the engine.
// --dry-run reads only and says what would be done.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <set>

#include "database/CDatabaseFile.h"
#include "tools/kitdb/Examine.h"
#include "tools/kitdb/Stores.h"
#include "tools/kitdb/Tool.h"

namespace {

class Repairer {
public:
    Repairer(const std::string& name, bool dryRun) : m_Name(name), m_bDryRun(dryRun) {}

    // Copies path to the first free name of path.bak, path.bak2, ... once a
    // run. False (after saying why) when the copy cannot be made whole.
    bool Backup(const std::string& path) {
        if (!m_BackedUp.insert(path).second) return true;
        std::string copy = path + ".bak";
        for (int n = 2; DatabaseFileExists(copy.c_str()); ++n)
            copy = path + ".bak" + std::to_string(n);
        std::printf("%s: %s -> %s\n", m_bDryRun ? "would back up" : "backup", path.c_str(),
                    copy.c_str());
        if (m_bDryRun || Copy(path, copy)) return true;
        FailWith(copy + ": the backup copy of " + path + " cannot be written");
        return false;
    }

    void Say(const std::string& file, const std::string& what) {
        std::printf("%s: %s: %s\n", m_bDryRun ? "would repair" : "repair", file.c_str(),
                    what.c_str());
    }

    bool DryRun() const { return m_bDryRun; }

    // The engine's recovery of the carry-over and, with a store known, the
    // carry-over made again by the store's own open. Exit code.
    int CarryOver(const Examination& exam) {
        const Store* store = StoreForCarryOver(exam);
        for (const std::string& path : exam.files.Present())
            if (!Backup(path)) return kExitFailed;
        for (const Finding& finding : exam.findings) {
            if (finding.mend != Mend::kRecoverCarryOver) continue;
            const bool committed = std::strcmp(finding.kind, "carry-over-committed") == 0;
            Say(finding.file, committed ? "finish the carry-over with the store's own recovery"
                                        : "remove the files of the unfinished carry-over");
        }
        if (m_bDryRun) return kExitOk;
        if (store) return OpenAsStore(m_Name, *store);
        int result = RecoverStoreFiles(m_Name.c_str());
        return result == 0 ? kExitOk : Fail(m_Name + ".db", result);
    }

    // old: the header as the examination read it.
    bool DataFile(const Examination& exam, const DatabaseHeader& old) {
        const std::string db = m_Name + ".db";
        DatabaseHeader header = old;
        if (!exam.Needs(Mend::kCutPartial) && !exam.Needs(Mend::kClearCurrent) &&
            !exam.Needs(Mend::kZeroOpenCount))
            return true;
        if (!Backup(db)) return false;
        if (exam.Needs(Mend::kCutPartial))
            Say(db, "cut off the partial place of " + std::to_string(exam.partialBytes) +
                        " bytes at offset " + std::to_string(exam.partialOffset));
        if (exam.Needs(Mend::kClearCurrent)) {
            Say(db, "current record " + std::to_string(old.currentRecord) + " set to -1 (none)");
            header.currentRecord = -1;
        }
        if (exam.Needs(Mend::kZeroOpenCount)) {
            Say(db, "open count " + std::to_string(old.openCount) + " set to 0");
            header.openCount = 0;
        }
        if (m_bDryRun) return true;
        std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
        bool done = file && file->Open(db.c_str(), CDatabaseFile::kReadWrite);
        if (done && exam.Needs(Mend::kCutPartial)) done = file->Truncate(exam.partialOffset);
        if (done && std::memcmp(&header, &old, sizeof header) != 0)
            done = file->WriteAt(0, &header, sizeof header);
        if (!done) FailWith(db + ": cannot be written (read-only, or in use?)");
        return done;
    }

    bool Index(const Examination& exam) {
        const std::string idx = m_Name + ".idx";
        if (exam.Needs(Mend::kMakeIndex)) {
            if (exam.files.hasIdx && !Backup(idx)) return false;
            Say(idx, "made anew, " + exam.indexPlan.how);
            if (m_bDryRun) return true;
            const IndexPlan& plan = exam.indexPlan;
            CDatabase database;
            int result = OpenForWriting(database, m_Name);
            if (result == 0)
                result =
                    database.RebuildIndex(kFieldText, plan.keyOffset, plan.keyLength, plan.buckets);
            if (result != 0) Fail(result <= -256 ? idx : m_Name + ".db", result);
            return result == 0;
        }
        if (!exam.Needs(Mend::kZeroIndexOpenCount)) return true;
        if (!Backup(idx)) return false;
        Say(idx, "open count " + std::to_string(exam.index.header.openCount) + " set to 0");
        if (m_bDryRun) return true;
        std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
        const int32_t zero = 0;
        if (file && file->Open(idx.c_str(), CDatabaseFile::kReadWrite) &&
            file->WriteAt(offsetof(IndexHeader, openCount), &zero, sizeof zero))
            return true;
        FailWith(idx + ": cannot be written (read-only, or in use?)");
        return false;
    }

private:
    static bool Copy(const std::string& from, const std::string& to) {
        std::unique_ptr<CDatabaseFile> in = MakeDatabaseFile();
        std::unique_ptr<CDatabaseFile> out = MakeDatabaseFile();
        if (!in || !out || !in->Open(from.c_str(), CDatabaseFile::kReadOnly) ||
            !out->Open(to.c_str(), CDatabaseFile::kCreate))
            return false;
        long size = in->GetSize();
        std::string chunk(64 * 1024, '\0');
        for (long at = 0; size >= 0 && at < size;) {
            uint32_t count = static_cast<uint32_t>(
                size - at < static_cast<long>(chunk.size()) ? size - at : chunk.size());
            if (!in->ReadAt(static_cast<uint64_t>(at), chunk.data(), count) ||
                !out->WriteAt(static_cast<uint64_t>(at), chunk.data(), count))
                return false;
            at += count;
        }
        return size >= 0;
    }

    // The store of the carry-over: the new data file's table is the
    // store's; else the old layout's family.
    const Store* StoreForCarryOver(const Examination& exam) const {
        for (const std::string* path : {&exam.files.newDb, &exam.files.db, &exam.files.old}) {
            std::unique_ptr<CDatabaseImp> imp = CDatabaseImp::New();
            if (imp && imp->OpenReadOnly(path->c_str(), 0) == DB_OK)
                if (const Store* store = StoreFamilyOf(imp->Fields())) return store;
        }
        return nullptr;
    }

    const std::string& m_Name;
    bool m_bDryRun;
    std::set<std::string> m_BackedUp;
};

}  // namespace

int Repair(const std::string& name, bool dryRun) {
    Examination exam = Examine(name);
    const int found = exam.ExitCode();
    if (found == kExitFailed) {
        PrintReport(exam, true);
        return FailWith(name +
                        ".db: cannot be repaired: without a data file the engine opens, "
                        "there is nothing to repair from (kitdb dump " +
                        name + " --header shows why)");
    }
    bool work = false;
    for (const Finding& finding : exam.findings) work |= finding.mend != Mend::kNone;
    if (!work) {
        std::printf("%s: nothing to repair\n", name.c_str());
        PrintReport(exam, true);
        return exam.ExitCode();
    }
    Repairer repairer(name, dryRun);
    if (exam.Needs(Mend::kRecoverCarryOver)) {
        exam.imp.reset();
        int code = repairer.CarryOver(exam);
        if (code == kExitFailed) return code;
        if (dryRun) {
            std::printf(
                "then kitdb repair examines the store again and repairs what is left\n"
                "dry run: nothing changed\n");
            return found;
        }
        exam = Examine(name);
        if (!exam.imp) {
            PrintReport(exam, true);
            return kExitFailed;
        }
    }
    // The files are changed with the data file closed.
    const DatabaseHeader header = exam.imp->Header();
    exam.imp.reset();
    if (!repairer.DataFile(exam, header) || !repairer.Index(exam)) return kExitFailed;
    if (dryRun) {
        std::printf("dry run: nothing changed\n");
        return found;
    }
    Examination after = Examine(name);
    std::printf("after the repair:\n");
    PrintReport(after, true);
    return after.ExitCode();
}
