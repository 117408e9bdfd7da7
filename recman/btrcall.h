// BTRCALL: the single entry point of the record manager.
//
// The suite reads and writes its data files through this one call, with the
// record manager's published operation codes, status codes and buffer
// layouts (listed below). Our record manager keeps each data file as one
// SQLite database at the path given (see recman/sqlite/sqlite_engine.cpp for the
// storage, recman/sqlite/lock_file.cpp for locking), or, for a suite whose
// Brol.ini names a database server, as tables of a PostgreSQL server
// (recman/engine_choice.h, recman/pg/pg_engine.cpp); callers never see that.
//
// Naming: the entry point is recman::BTRCALL (namespace recman, C++ linkage).
// Callers include this header and call recman::BTRCALL(...).
//
// The call:
//   status = BTRCALL(operation, positionBlock, dataBuffer, &dataLength,
//                    keyBuffer, keyLength, keyNumber)
//   operation      operation code, optionally plus a lock bias (+100, +200)
//   positionBlock  128 bytes owned by the caller; zero it before Open, then
//                  leave it alone: it names the open file and its currency
//   dataBuffer     record, creation layout, owner name or position, per
//                  operation; dataLength is its usable length on input and
//                  the length returned on output
//   keyBuffer      key value, or the file path with a zero byte for Open and
//                  Create; keyLength is its usable length (16 bits: a key
//                  buffer of 256 bytes passes 256). Gets return the key value
//                  of the record found here; it must hold the whole key.
//   keyNumber      index to use; for Open the open mode, for Create the
//                  create mode, for Set Owner the access mode
//   result         0 on success, otherwise one of the status codes below.
//
// Supported: Open, Close, Insert, Update, Delete, the key gets (Equal, Next,
// Previous, Greater, Greater or Equal, Less, Less or Equal, First, Last),
// Create, Stat, Begin/End/Abort Transaction, Get Position, Get Direct, the
// physical steps (First, Last, Next, Previous), Unlock, Reset, Set Owner,
// Clear Owner; lock biases +100 and +200 on the gets and steps.
//
// BTRCALL never throws and never crashes on bad input: unknown operation,
// unknown position block, short buffers, bad key numbers, a file that is not
// a data file or is damaged all come back as a status. So does a database
// server that cannot be reached (20) or goes away (95).
//
// Threads: a process calls BTRCALL from one thread at a time, as the suite's
// programs do (SQLite runs in its single-thread mode, without locks; see
// ConfigureLibrary in recman/sqlite/sqlite_engine.cpp). Other processes may use the
// same files at the same time.
#pragma once

#include <cstdint>

namespace recman {

int16_t BTRCALL(uint16_t operation, void* positionBlock, void* dataBuffer,
                uint32_t* dataLength, void* keyBuffer, uint16_t keyLength,
                int16_t keyNumber);

// ---- Sizes ---------------------------------------------------------------

constexpr int kPositionBlockSize = 128;  // bytes of a position block
constexpr int kMaxKeyLength = 255;       // longest key (sum of its segments)
constexpr int kMaxKeys = 119;            // most keys (indexes) in one file
constexpr int kMaxOwnerLength = 8;       // owner name, without its zero byte

// ---- Operation codes -------------------------------------------------------

constexpr uint16_t B_OPEN = 0;
constexpr uint16_t B_CLOSE = 1;
constexpr uint16_t B_INSERT = 2;
constexpr uint16_t B_UPDATE = 3;
constexpr uint16_t B_DELETE = 4;
constexpr uint16_t B_GET_EQUAL = 5;
constexpr uint16_t B_GET_NEXT = 6;
constexpr uint16_t B_GET_PREVIOUS = 7;
constexpr uint16_t B_GET_GREATER = 8;
constexpr uint16_t B_GET_GE = 9;        // greater than or equal
constexpr uint16_t B_GET_LESS = 10;
constexpr uint16_t B_GET_LE = 11;       // less than or equal
constexpr uint16_t B_GET_FIRST = 12;
constexpr uint16_t B_GET_LAST = 13;
constexpr uint16_t B_CREATE = 14;
constexpr uint16_t B_STAT = 15;
constexpr uint16_t B_BEGIN_TRANSACTION = 19;
constexpr uint16_t B_END_TRANSACTION = 20;
constexpr uint16_t B_ABORT_TRANSACTION = 21;
constexpr uint16_t B_GET_POSITION = 22;
constexpr uint16_t B_GET_DIRECT = 23;
constexpr uint16_t B_STEP_NEXT = 24;    // physical order
constexpr uint16_t B_UNLOCK = 27;
constexpr uint16_t B_RESET = 28;
constexpr uint16_t B_SET_OWNER = 29;
constexpr uint16_t B_CLEAR_OWNER = 30;
constexpr uint16_t B_STEP_FIRST = 33;   // physical order
constexpr uint16_t B_STEP_LAST = 34;
constexpr uint16_t B_STEP_PREVIOUS = 35;

// Lock biases added to a get or step operation code.
constexpr uint16_t B_LOCK_SINGLE_WAIT = 100;    // wait while another holds it
constexpr uint16_t B_LOCK_SINGLE_NOWAIT = 200;  // status 84/85 at once

// True for the operation codes (without a bias) that take a lock bias: the
// key gets, Get Position (which accepts and ignores it, as callers add the
// bias to every fetching code), Get Direct and the physical steps. BTRCALL
// refuses a bias on any other operation with status 1.
bool TakesLockBias(uint16_t operation);

// Open modes (keyNumber of B_OPEN).
constexpr int16_t B_MODE_NORMAL = 0;
constexpr int16_t B_MODE_ACCELERATED = -1;  // treated as normal
constexpr int16_t B_MODE_READ_ONLY = -2;
constexpr int16_t B_MODE_VERIFY = -3;       // treated as normal
constexpr int16_t B_MODE_EXCLUSIVE = -4;

// Create modes (keyNumber of B_CREATE).
constexpr int16_t B_CREATE_REPLACE = 0;     // replaces an existing file
constexpr int16_t B_CREATE_NO_REPLACE = -1; // status 59 if the file exists

// ---- Status codes ----------------------------------------------------------

constexpr int16_t B_OK = 0;
constexpr int16_t B_INVALID_OPERATION = 1;
constexpr int16_t B_IO_ERROR = 2;
constexpr int16_t B_FILE_NOT_OPEN = 3;
constexpr int16_t B_KEY_NOT_FOUND = 4;
constexpr int16_t B_DUPLICATE_KEY = 5;
constexpr int16_t B_INVALID_KEY_NUMBER = 6;
constexpr int16_t B_DIFFERENT_KEY_NUMBER = 7;
constexpr int16_t B_INVALID_POSITIONING = 8;
constexpr int16_t B_END_OF_FILE = 9;
constexpr int16_t B_MODIFIABLE_KEY_ERROR = 10;  // changed a non-modifiable key
constexpr int16_t B_INVALID_FILE_NAME = 11;     // no zero byte within the key buffer
constexpr int16_t B_FILE_NOT_FOUND = 12;
constexpr int16_t B_DISK_FULL = 18;
constexpr int16_t B_RECORD_MANAGER_INACTIVE = 20;  // the server cannot be reached
constexpr int16_t B_KEY_BUFFER_TOO_SHORT = 21;
constexpr int16_t B_DATA_BUFFER_LENGTH = 22;
constexpr int16_t B_PAGE_SIZE_ERROR = 24;
constexpr int16_t B_CREATE_IO_ERROR = 25;
constexpr int16_t B_NUMBER_OF_KEYS = 26;
constexpr int16_t B_INVALID_KEY_POSITION = 27;
constexpr int16_t B_INVALID_RECORD_LENGTH = 28;
constexpr int16_t B_INVALID_KEY_LENGTH = 29;
constexpr int16_t B_NOT_A_DATA_FILE = 30;
constexpr int16_t B_DIRECTORY_ERROR = 35;  // the folder does not exist (on a
                                          // server: the suite's schema)
constexpr int16_t B_TRANSACTION_ACTIVE = 37;      // Begin inside a transaction
constexpr int16_t B_NO_TRANSACTION = 39;          // End/Abort without Begin
constexpr int16_t B_OPERATION_NOT_ALLOWED = 41;
constexpr int16_t B_INVALID_RECORD_ADDRESS = 43;
constexpr int16_t B_ACCESS_DENIED = 46;
constexpr int16_t B_INVALID_ALTERNATE_SEQUENCE = 48;
constexpr int16_t B_EXTENDED_TYPE_ERROR = 49;
constexpr int16_t B_OWNER_ALREADY_SET = 50;
constexpr int16_t B_INVALID_OWNER = 51;
constexpr int16_t B_FILE_EXISTS = 59;
constexpr int16_t B_CONFLICT = 80;        // record changed since it was read
constexpr int16_t B_RECORD_LOCKED = 84;
constexpr int16_t B_FILE_LOCKED = 85;
constexpr int16_t B_INCOMPATIBLE_MODE = 88;
constexpr int16_t B_SESSION_LOST = 95;    // the connection to the server was
                                          // lost: the files opened through
                                          // it and their locks are gone

// ---- Creation layout: file header (data buffer of Create/Stat) -----
//
// Create takes, and Stat returns, the file header followed by one
// 16-byte key segment entry per segment of every key (keys in
// order, segments of a key in order), followed, when any segment uses an
// alternate collating sequence, by that sequence. All integers little-endian.
// Changing any of these offsets makes existing .xdf files unreadable.

constexpr int FS_RECORD_LENGTH = 0;   // u16 fixed record length
constexpr int FS_PAGE_SIZE = 2;       // u16 page size (multiple of 512)
constexpr int FS_NUMBER_OF_KEYS = 4;  // u16 number of keys (indexes)
constexpr int FS_RECORD_COUNT = 6;    // u32 Stat: records in the file; Create: 0
constexpr int FS_FILE_FLAGS = 10;     // u16 file flags (below)
constexpr int FS_RESERVED = 12;       // u16 reserved, 0
constexpr int FS_PREALLOCATION = 14;  // u16 pages to preallocate (ignored)
constexpr int FS_SIZE = 16;           // bytes of the file header

// File flags.
constexpr uint16_t FF_VARIABLE_LENGTH = 0x0001;  // records may be longer

// ---- Creation layout: key segment entry (16 bytes each) ----------

constexpr int KS_POSITION = 0;       // u16 first byte of the segment, 1-based
constexpr int KS_LENGTH = 2;         // u16 segment length in bytes
constexpr int KS_FLAGS = 4;          // u16 key flags (below)
constexpr int KS_UNIQUE_COUNT = 6;   // u32 reserved (Stat: unique values, 0)
constexpr int KS_EXTENDED_TYPE = 10; // u8 extended data type (below)
constexpr int KS_NULL_VALUE = 11;    // u8 null value (with KF_NULL)
constexpr int KS_RESERVED = 12;      // 2 bytes reserved
constexpr int KS_KEY_NUMBER = 14;    // u8 key number (manual keys; ignored)
constexpr int KS_ACS_NUMBER = 15;    // u8 alternate collating sequence number
constexpr int KS_SIZE = 16;          // bytes of one segment entry

// Key flags. The attributes of a key (duplicates, modifiable, null) are read
// from its first segment; the others apply to each segment.
constexpr uint16_t KF_DUPLICATES = 0x0001;
constexpr uint16_t KF_MODIFIABLE = 0x0002;
constexpr uint16_t KF_BINARY = 0x0004;           // unsigned little-endian
constexpr uint16_t KF_NULL = 0x0008;             // null key: all segments null
constexpr uint16_t KF_SEGMENTED = 0x0010;        // another segment follows
constexpr uint16_t KF_ALT_COLLATING = 0x0020;    // translate by the sequence
constexpr uint16_t KF_DESCENDING = 0x0040;
constexpr uint16_t KF_SUPPLEMENTAL = 0x0080;     // accepted, no meaning here
constexpr uint16_t KF_EXTENDED_TYPE = 0x0100;    // KS_EXTENDED_TYPE applies
constexpr uint16_t KF_MANUAL = 0x0200;           // accepted, keys stay in order
constexpr uint16_t KF_CASE_INSENSITIVE = 0x0400; // ASCII letters compare upper

// Extended data types (KS_EXTENDED_TYPE, with KF_EXTENDED_TYPE).
constexpr uint8_t XT_STRING = 0;           // bytes in order
constexpr uint8_t XT_INTEGER = 1;          // signed little-endian, 1/2/4/8 bytes
constexpr uint8_t XT_UNSIGNED_BINARY = 14; // unsigned little-endian, any length
constexpr uint8_t XT_ZSTRING = 11;         // bytes up to the first zero byte
constexpr uint8_t XT_LSTRING = 10;         // length byte, then the text

// ---- Alternate collating sequence (after the key segment entries) --

constexpr int ACS_SIGNATURE = 0;  // u8 0xAC
constexpr int ACS_NAME = 1;       // 8 bytes, the sequence's name
constexpr int ACS_TABLE = 9;      // 256 bytes: weight of each byte value
constexpr int ACS_SIZE = 265;     // bytes of one sequence
constexpr uint8_t ACS_SIGNATURE_BYTE = 0xAC;

// ---- Get Position / Get Direct -------------------------------------------
// Get Position returns, and Get Direct takes, the record's 32-bit position
// (little-endian) in the first 4 bytes of the data buffer. 0 is never a
// position.
constexpr int kPositionSize = 4;

}  // namespace recman
