// Result codes of the database engine and their encoding into the results of
// CDatabase, which the stores depend on.
//
// CDatabaseImp operations return a DBError, CDatabaseIndex operations an
// IndexCode. CDatabase turns a DBError e into -(e + 1), the index code 1
// into -65536 and any other index code e into -(e + 256); 0 stays 0.
#ifndef WIN95_DATABASE_DBERROR_H
#define WIN95_DATABASE_DBERROR_H

enum DBError : int {
    DB_OK = 0,
    DB_NO_MEMORY = 1,
    DB_TEXT_ENDS_EARLY = 1,  // ImportRecords: no records section, or no end to it
    DB_OPEN_FAILED = 2,      // .db file (or the text to import) cannot be opened
    DB_CREATE_FAILED = 3,    // .db file or export file cannot be created
    DB_BAD_RECORD_MAGIC = 4,
    DB_BAD_RECORD_NUMBER = 5,
    DB_BAD_BUFFER_SIZE = 6,
    DB_RECORD_REMOVED = 7,     // the data is delivered all the same
    DB_WRONG_DB_VERSION = 13,  // database version is not 52
    DB_WRONG_RECORD_VERSION = 14,
    DB_ALREADY_OPEN = 15,    // creation of a path that is open
    DB_NOT_A_DATABASE = 16,  // wrong magic or an impossible header
    DB_NOT_OPEN = 17,        // also: CDatabase has no CDatabaseImp
    DB_WRITE_FAILED = 18     // a write failed or came short
};

enum IndexCode : int {
    INDEX_OK = 0,
    INDEX_NO_MEMORY = 1,
    INDEX_OPEN_FAILED = 2,
    INDEX_CREATE_FAILED = 4,
    INDEX_BAD_PARAMETER = 6,  // key type not 1 to 4 (or a creation value that
                              // cannot make a file); insertion into a key type
                              // other than text
    INDEX_WRONG_VERSION = 7,
    INDEX_NOT_OPEN = 8,
    INDEX_BAD_HEADER = 9,     // wrong magic (an unsealed index) or an impossible header
    INDEX_ALREADY_OPEN = 10,  // creation of a path that is open
    INDEX_WRITE_FAILED = 11   // a write failed or came short
};

// CDatabase::WriteAttachment's own failure.
constexpr int kAttachmentFailed = -4113;

constexpr int EncodeDBError(int error) {
    return error == 0 ? 0 : -(error + 1);
}

constexpr int EncodeIndexCode(int code) {
    if (code == 0) return 0;
    return code == INDEX_NO_MEMORY ? -65536 : -(code + 256);
}

#endif
