// One connection of this process to a PostgreSQL server, shared by every
// data file the process has open through it: statements, the locks the
// server keeps for us, and the server transaction of Begin/End Transaction.
// Only the server engine's files (pg_*.cpp) use it.
//
// Sessions: Session::For gives the live session of a connection string,
// connecting at the first use; the record manager's state keeps them
// (manager.serverSessions, recman/record_manager.h), so its reset closes
// them once their files are closed. A lost connection (the server restarted, the
// network went) makes the statement that met it, and every later statement
// of the same record-manager call, fail with 95. The next call reconnects
// in place (Ready, or For for a new open): the open locks of the files still
// open are taken again, record locks are gone (the calls that held them
// were told 95), prepared statements are made again, and epoch() moves on
// so that the files notice (a file replaced meanwhile stays lost). While the
// server cannot be reached, a reconnection is tried at most once every
// kReconnectPauseMs; the calls in between give 95 at once.
//
// Statements: every statement with parameters is prepared once per session
// under a name the caller chooses (unique for its text), parameters and
// results in binary form. Values only ever travel as parameters; the only
// text spliced into SQL is identifiers, quoted (pg_names.h).
//
// Locks: the server's session-level advisory locks, keyed by two 32-bit
// numbers (the record table's object id, and 0 for the open lock or the
// record's position for a record lock). They hold between machines and go
// with the connection. Within the process the session keeps which open
// (holder) has which lock, because the server lets a session take its own
// locks again: two opens of one file in one process must conflict as two
// processes do.
//
// Transactions: one server transaction per session for all its files;
// members (the tables that joined) keep their record-count changes and
// write them just before the commit. A transaction that met a lost
// connection is gone with it (the server rolled it back): its members'
// writes give 95 until End or Abort Transaction, which gives 95 too. A
// transaction that a failed statement aborted in the server is rolled back
// by End Transaction, which gives that statement's status, never 0.
//
// Change notifications (the read-ahead's, pg_read_ahead.h): Listen makes
// the session listen on a file's channel, Changes counts the notifications
// that arrived for it, reading what the socket holds without waiting (at
// most once per tick of the coarse clock).
// WritePage is a data file's write generation (the FileLocks page): the
// shared page of the lock file beside its native path, as the file engine
// places and maps it (recman/sqlite/lock_file.h), which every process of
// the machine maps; where that lock file cannot be made (a missing or
// read-only folder), a word of this process's own.
//
// Round trips: every libpq call that waits for the server's answer is
// counted, for all sessions of the process (RoundTrips). With
// ZULPG_ROUND_TRIPS naming a file in the environment, the count is written
// there when the program ends (benchmarks).
//
// Fork: a child made by fork without exec forgets every session without
// closing it (the connection's socket is the parent's too); its files were
// forgotten by btrcall.cpp.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "recman/sqlite/lock_file.h"

namespace recman {
namespace pg {

// Object ids of the parameter types used.
constexpr Oid kBytea = 17;
constexpr Oid kInt8 = 20;
constexpr Oid kInt4 = 23;
constexpr Oid kText = 25;

// How long a write waits for a row lock another transaction holds before it
// gives status 85 (the SQLite engine's busy wait is as long).
constexpr long kLockWaitMs = 60000;

// Least pause between two attempts to reconnect a lost session.
constexpr long kReconnectPauseMs = 1000;

// A result, cleared when the holder goes.
class Result {
 public:
  Result() = default;
  ~Result() { PQclear(r_); }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;
  void Reset(PGresult* r) {
    PQclear(r_);
    r_ = r;
  }
  PGresult* get() const { return r_; }
  int rows() const { return r_ ? PQntuples(r_) : 0; }
  bool null(int row, int col) const { return PQgetisnull(r_, row, col) != 0; }
  const char* value(int row, int col) const { return PQgetvalue(r_, row, col); }
  int length(int row, int col) const { return PQgetlength(r_, row, col); }
  // A binary int8, int4 or bool column.
  int64_t Int(int row, int col) const;

 private:
  PGresult* r_ = nullptr;
};

// A statement with its name, text and parameter types.
struct Statement {
  std::string name;
  std::string sql;
  std::vector<Oid> types;
};

// A table that joined the session's transaction.
class TxnMember {
 public:
  virtual ~TxnMember() = default;
  // Writes what the member keeps for the commit (its record-count change).
  virtual int16_t BeforeCommit() = 0;
  // The transaction is over (committed or rolled back).
  virtual void TransactionEnded() = 0;
};

class Session {
 public:
  // The live session for the connection string, connecting when there is
  // none. Returns 0 and *out, or 20 when the server cannot be reached.
  static int16_t For(const std::string& connection, std::shared_ptr<Session>* out);

  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool lost() const { return lost_; }

  // At the start of a record-manager call: reconnects a lost session (see
  // above). Returns 0 when the session is connected, else 95.
  int16_t Ready();

  // Moves on at every reconnection.
  uint64_t epoch() const { return epoch_; }

  // True when the open lock of the table with object id oid could not be
  // taken again at a reconnection: its opens stay lost.
  bool OpenLost(uint32_t oid) const { return lostOpens_.count(oid) != 0; }

  // Runs st (prepared at its first use in this session) with binary
  // parameters (values[i] null: SQL NULL) and binary results. Returns 0
  // with *out set, or the status of the failure (its SQLSTATE in
  // *sqlState when given).
  int16_t Run(const Statement& st, const char* const* values, const int* lengths,
              Result* out, std::string* sqlState = nullptr);

  // Sends st as Run runs it, without waiting for its result: the batch a
  // read-ahead fetches on while the rows before it are served. Its result
  // is owner's to Collect; any other statement of the session, or
  // Forget(owner), throws it away first. Returns false (nothing pending)
  // when it could not be sent.
  bool Send(const Statement& st, const char* const* values, const int* lengths,
            const void* owner);
  // When owner's statement is the one pending: waits for its result and
  // returns true with *status 0 and *out set, or *status the failure's.
  // False when none of owner's is pending.
  bool Collect(const void* owner, Result* out, int16_t* status);
  // Throws away owner's pending statement, if any.
  void Forget(const void* owner) {
    if (pendingOwner_ == owner) Drain();
  }

  // Runs SQL text without parameters (statements built of quoted
  // identifiers, BEGIN, COMMIT...). Returns 0 or the status of the failure.
  int16_t Command(const std::string& sql, std::string* sqlState = nullptr);

  // The open lock of the table with object id oid for holder. Returns 0,
  // 85 on a conflict, or a status.
  int16_t OpenLock(uint32_t oid, bool exclusive, const void* holder);
  void CloseLock(uint32_t oid, const void* holder);

  // The record lock (oid, pos) for holder. Returns 0, 84 when another
  // holder has it, or a status.
  int16_t LockRecord(uint32_t oid, uint32_t pos, const void* holder);
  void UnlockRecord(uint32_t oid, uint32_t pos, const void* holder);

  // Begins the server transaction unless it runs already, and makes m a
  // member. Returns 0 or a status.
  int16_t JoinTransaction(TxnMember* m);
  // A member that closes inside the transaction: its count change is
  // written now, and its writes stay in the transaction.
  void LeaveTransaction(TxnMember* m);
  // Commits (commit true) or rolls back the transaction, when one runs.
  // Returns 0 or the status of a failed commit (which rolls back).
  int16_t EndTransaction(bool commit);
  bool inTransaction() const { return inTransaction_; }
  // True from a lost connection inside the transaction to its end.
  bool transactionLost() const { return txnLost_; }

  // Listens on the channel of the table with object id oid (once per
  // connection). Returns 0 or a status.
  int16_t Listen(uint32_t oid);
  // The number of notifications that arrived for the table since the
  // connection was made; reads without waiting what the socket holds. A
  // connection in doubt counts as a change.
  uint64_t Changes(uint32_t oid);
  // The write generation of the data file at the native path; *machineWide
  // says whether every process of the machine shares it (else only this
  // process's opens do). The address stays valid for the life of the
  // session.
  uint64_t* WritePage(const std::string& path, bool* machineWide);

  // Round trips of every session of the process so far.
  static uint64_t RoundTrips();

  // Every session of the record manager's state (manager.serverSessions),
  // for EndAllServerTransactions.
  static std::vector<Session*> All();

 private:
  Session(PGconn* conn, std::string connection)
      : conn_(conn), connection_(std::move(connection)) {}

  // A new connection with the session's settings, or null.
  static PGconn* Connect(const std::string& connection);
  // Replaces the lost connection and takes the open locks again.
  int16_t Reconnect();

  // The status of a failed result (r may be null), noting a lost
  // connection and a failed transaction.
  int16_t Failure(PGresult* r, std::string* sqlState = nullptr);
  int16_t Advisory(const Statement& st, uint32_t key1, uint32_t key2, bool* granted);
  // Prepares st at its first use in the session. Returns 0 or a status.
  int16_t Prepare(const Statement& st, std::string* sqlState);
  // Waits for the end of the statement sent (Send) and throws its result
  // away; nothing when none is pending.
  void Drain();

  PGconn* conn_;
  std::string connection_;
  bool lost_ = false;
  bool abandoned_ = false;  // after fork, in the child: never closed
  bool inTransaction_ = false;
  bool txnLost_ = false;          // the transaction died with a connection
  int16_t txnFailure_ = 0;        // last failed statement's status in it
  uint64_t epoch_ = 0;
  int64_t lastAttemptNs_ = 0;     // of the last reconnection that failed
  std::set<uint32_t> lostOpens_;
  std::set<uint32_t> listening_;
  std::map<uint32_t, uint64_t> changes_;
  uint64_t doubts_ = 0;  // failed reads of the socket: a change of every file
  int64_t lastPollNs_ = -1;  // coarse clock at the last read of the socket
  struct Page {
    LockFile file;    // the mapped lock file, when it could be made
    uint64_t own = 1; // else the generation of this process's opens
  };
  std::map<std::string, std::unique_ptr<Page>> pages_;  // by native path
  std::vector<TxnMember*> members_;
  std::set<std::string> prepared_;
  const void* pendingOwner_ = nullptr;  // of the statement sent, not collected

  struct OpenState {
    int shared = 0;                     // shared opens of this process
    const void* exclusive = nullptr;    // the exclusive holder, or null
    std::map<const void*, int> holders; // holder -> 1 shared, 2 exclusive
  };
  std::map<uint32_t, OpenState> opens_;
  std::map<uint64_t, const void*> records_;

  friend void ForgetSessionsAfterFork();
};

// The status for a SQLSTATE: unique violation 5; lock not available,
// deadlock, serialisation failure 85; disk full 18; privileges 46; sequence
// at its limit 18; anything else 2.
int16_t StatusOfSqlState(const std::string& state);

}  // namespace pg
}  // namespace recman
