// What readers and the stores do with a pair of .db and .idx files, run on
// files that may be damaged: open, read every record, export, import the
// export into a database of the same layout, append, re-index, insert keys.
// Shared by the corruption test and the fuzz target of the files; it checks
// nothing itself but hands every result to a report with whether the result
// is one the engine may give there.
#ifndef WIN95_TESTS_DATABASE_DATABASEEXERCISE_H
#define WIN95_TESTS_DATABASE_DATABASEEXERCISE_H

#include <string>

class ExerciseReport {
public:
    virtual void Result(const char* step, long result, bool expected) = 0;

protected:
    ~ExerciseReport() = default;
};

// Writes name.db and name.idx with the bytes and exercises them; uses the
// files name.txt and name-copy.* as well.
void ExerciseDatabaseFiles(const std::string& name, const std::string& db, const std::string& idx,
                           ExerciseReport& report);

// Whether a result is a DBError, or a CDatabase result (0, an encoded DBError
// or index code).
bool IsDBError(long code);
bool IsDatabaseResult(long result);

void WriteWholeFile(const std::string& path, const std::string& bytes);

#endif
