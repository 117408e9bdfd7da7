// Sessions with the database server (contract in pg_session.h).
#include "recman/pg/pg_session.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/env.h"
#include "platform/files.h"
#include "platform/process.h"
#include "recman/btrcall.h"
#include "recman/record_manager.h"

namespace recman {
namespace pg {

namespace {

// Connection settings given before the caller's string, so that the
// caller's own values win (libpq keeps the last value of a keyword):
// connecting gives up after 10 s; keepalives notice a server machine gone
// within some 25 s, and unacknowledged data within 30 s.
const char* const kDefaultKeywords[] = {"connect_timeout", "keepalives", "keepalives_idle",
                                        "keepalives_interval", "keepalives_count",
                                        "tcp_user_timeout", "fallback_application_name"};
const char* const kDefaultValues[] = {"10", "1", "10", "5", "3", "30000", "zul"};

// Settings of every session: a commit returns only once the server has it
// on disk (also when the server's default says otherwise); a row lock is
// waited for kLockWaitMs at most; plans are made once per prepared
// statement; notices stay on the server.
const char* kSessionSettings =
    "SET synchronous_commit = on; SET lock_timeout = 60000;"
    " SET plan_cache_mode = force_generic_plan; SET client_min_messages = warning;"
    " SET standard_conforming_strings = on";

void IgnoreNotice(void*, const char*) {}

uint64_t roundTrips = 0;

// Writes the round trips where ZULPG_ROUND_TRIPS says, at the program's end.
void WriteRoundTrips() {
  const std::string file = platform::GetEnv("ZULPG_ROUND_TRIPS");
  if (!file.empty()) platform::WriteFile(file, std::to_string(roundTrips) + "\n");
}

// The advisory lock statements. Made once and never destroyed: files still
// open when the program ends are closed by the record manager's state's
// destructor, which may run after this file's static objects are gone.
struct AdvisoryStatements {
  Statement lockShared{"zs_lock_shared", "SELECT pg_try_advisory_lock_shared($1, $2)",
                       {kInt4, kInt4}};
  Statement lock{"zs_lock", "SELECT pg_try_advisory_lock($1, $2)", {kInt4, kInt4}};
  Statement unlockShared{"zs_unlock_shared", "SELECT pg_advisory_unlock_shared($1, $2)",
                         {kInt4, kInt4}};
  Statement unlock{"zs_unlock", "SELECT pg_advisory_unlock($1, $2)", {kInt4, kInt4}};
};
const AdvisoryStatements& Advisories() {
  static const AdvisoryStatements* statements = new AdvisoryStatements;
  return *statements;
}

void PutBE32(char* p, uint32_t v) {
  p[0] = char(v >> 24);
  p[1] = char(v >> 16);
  p[2] = char(v >> 8);
  p[3] = char(v);
}

}  // namespace

void ForgetSessionsAfterFork() {
  // Marked so that nothing is ever sent or closed through them, and out of
  // the manager's map so that no End Transaction of the child reaches them:
  // the child keeps no session, the map's entries are leaked, not closed.
  auto& live = manager.serverSessions;
  for (auto& entry : live) entry.second->abandoned_ = true;
  auto* old = new std::map<std::string, std::shared_ptr<Session>>;
  old->swap(live);
}

namespace {
void InstallForkHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    platform::AddForkChildHook(ForgetSessionsAfterFork);
    if (!platform::GetEnv("ZULPG_ROUND_TRIPS").empty()) std::atexit(WriteRoundTrips);
  });
}
}  // namespace

int64_t Result::Int(int row, int col) const {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(PQgetvalue(r_, row, col));
  int n = PQgetlength(r_, row, col);
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
  if (n == 4) return int32_t(uint32_t(v));
  if (n == 1) return int64_t(v);
  return int64_t(v);
}

int16_t StatusOfSqlState(const std::string& state) {
  if (state == "23505") return B_DUPLICATE_KEY;
  if (state == "55P03" || state == "40P01" || state == "40001") return B_FILE_LOCKED;
  if (state == "53100" || state == "2200H") return B_DISK_FULL;
  if (state == "42501") return B_ACCESS_DENIED;
  return B_IO_ERROR;
}

PGconn* Session::Connect(const std::string& connection) {
  std::vector<const char*> keys(std::begin(kDefaultKeywords), std::end(kDefaultKeywords));
  std::vector<const char*> values(std::begin(kDefaultValues), std::end(kDefaultValues));
  keys.push_back("dbname");
  values.push_back(connection.c_str());
  keys.push_back(nullptr);
  values.push_back(nullptr);
  PGconn* conn = PQconnectdbParams(keys.data(), values.data(), /*expand_dbname=*/1);
  if (conn == nullptr || PQstatus(conn) != CONNECTION_OK) {
    PQfinish(conn);
    return nullptr;
  }
  PQsetNoticeProcessor(conn, IgnoreNotice, nullptr);
  Result r;
  r.Reset(PQexec(conn, kSessionSettings));
  if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
    PQfinish(conn);
    return nullptr;
  }
  return conn;
}

int16_t Session::For(const std::string& connection, std::shared_ptr<Session>* out) {
  InstallForkHandler();
  auto& live = manager.serverSessions;
  auto it = live.find(connection);
  if (it != live.end()) {
    // A new open is the operator's doing: it tries at once.
    it->second->lastAttemptNs_ = 0;
    if (it->second->Ready() != B_OK) return B_RECORD_MANAGER_INACTIVE;
    *out = it->second;
    return B_OK;
  }
  PGconn* conn = Connect(connection);
  if (conn == nullptr) return B_RECORD_MANAGER_INACTIVE;
  std::shared_ptr<Session> s(new Session(conn, connection));
  live[connection] = s;
  *out = s;
  return B_OK;
}

int16_t Session::Ready() {
  if (!lost_) return B_OK;
  const int64_t now = platform::CoarseNowNs();
  if (lastAttemptNs_ != 0 && now - lastAttemptNs_ < kReconnectPauseMs * 1000000)
    return B_SESSION_LOST;
  int16_t st = Reconnect();
  lastAttemptNs_ = st == B_OK ? 0 : (now == 0 ? 1 : now);
  return st;
}

int16_t Session::Reconnect() {
  PGconn* conn = Connect(connection_);
  if (conn == nullptr) return B_SESSION_LOST;
  PQfinish(conn_);
  conn_ = conn;
  pendingOwner_ = nullptr;  // its statement went with the connection
  lost_ = false;
  prepared_.clear();
  listening_.clear();  // and the notifications that were on their way
  records_.clear();  // the record locks died with the connection
  ++epoch_;
  // The open locks of the files still open, each holder's as it took it.
  for (auto& entry : opens_) {
    for (auto& holder : entry.second.holders) {
      bool granted = false;
      int16_t st = Advisory(holder.second == 2 ? Advisories().lock : Advisories().lockShared,
                            entry.first, 0, &granted);
      if (st != B_OK) return st;
      if (!granted) lostOpens_.insert(entry.first);
    }
  }
  return B_OK;
}

Session::~Session() {
  if (!abandoned_) PQfinish(conn_);
}

std::vector<Session*> Session::All() {
  std::vector<Session*> all;
  for (auto& entry : manager.serverSessions) all.push_back(entry.second.get());
  return all;
}

int16_t Session::Failure(PGresult* r, std::string* sqlState) {
  const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
  std::string st = state ? state : "";
  if (sqlState) *sqlState = st;
  // The connection is gone: closed (libpq says so), the server ended the
  // session (a connection exception, or a shutdown: 57P01 to 57P03, which
  // the server sends just before it closes the connection), or libpq
  // failed to talk to it (its own errors carry no SQLSTATE; the status
  // turns bad only at the next call).
  if (PQstatus(conn_) == CONNECTION_BAD || st.empty() || st.compare(0, 2, "08") == 0 ||
      st.compare(0, 4, "57P0") == 0) {
    lost_ = true;
    if (inTransaction_) txnLost_ = true;
    inTransaction_ = false;
    return B_SESSION_LOST;
  }
  const int16_t status = StatusOfSqlState(st);
  // 25P02: a statement after the one that aborted the transaction.
  if (inTransaction_ && st != "25P02") txnFailure_ = status;
  return status;
}

namespace {

// Every parameter and result column travels in binary form.
const int* BinaryFormats(size_t count, std::vector<int>* room) {
  static const int kBinary[64] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  if (count <= 64) return kBinary;
  room->assign(count, 1);
  return room->data();
}

}  // namespace

int16_t Session::Prepare(const Statement& st, std::string* sqlState) {
  if (prepared_.count(st.name) != 0) return B_OK;
  Result prep;
  ++roundTrips;
  prep.Reset(PQprepare(conn_, st.name.c_str(), st.sql.c_str(), int(st.types.size()),
                       st.types.data()));
  if (PQresultStatus(prep.get()) != PGRES_COMMAND_OK) return Failure(prep.get(), sqlState);
  prepared_.insert(st.name);
  return B_OK;
}

int16_t Session::Run(const Statement& st, const char* const* values, const int* lengths,
                     Result* out, std::string* sqlState) {
  if (lost_) return B_SESSION_LOST;
  Drain();
  if (int16_t status = Prepare(st, sqlState)) return status;
  std::vector<int> room;
  const int* fmt = BinaryFormats(st.types.size(), &room);
  ++roundTrips;
  out->Reset(PQexecPrepared(conn_, st.name.c_str(), int(st.types.size()), values, lengths, fmt,
                            /*resultFormat=*/1));
  ExecStatusType es = PQresultStatus(out->get());
  if (es == PGRES_TUPLES_OK || es == PGRES_COMMAND_OK) return B_OK;
  return Failure(out->get(), sqlState);
}

bool Session::Send(const Statement& st, const char* const* values, const int* lengths,
                   const void* owner) {
  if (lost_) return false;
  Drain();
  if (Prepare(st, nullptr) != B_OK) return false;
  std::vector<int> room;
  const int* fmt = BinaryFormats(st.types.size(), &room);
  ++roundTrips;
  if (PQsendQueryPrepared(conn_, st.name.c_str(), int(st.types.size()), values, lengths, fmt,
                          /*resultFormat=*/1) == 0)
    return false;
  pendingOwner_ = owner;
  return true;
}

bool Session::Collect(const void* owner, Result* out, int16_t* status) {
  if (pendingOwner_ == nullptr || pendingOwner_ != owner) return false;
  pendingOwner_ = nullptr;
  out->Reset(PQgetResult(conn_));
  // A statement ends with a null result.
  while (PGresult* more = PQgetResult(conn_)) PQclear(more);
  ExecStatusType es = PQresultStatus(out->get());
  *status = es == PGRES_TUPLES_OK ? B_OK : Failure(out->get());
  return true;
}

void Session::Drain() {
  if (pendingOwner_ == nullptr) return;
  pendingOwner_ = nullptr;
  while (PGresult* r = PQgetResult(conn_)) PQclear(r);
}

int16_t Session::Command(const std::string& sql, std::string* sqlState) {
  if (lost_) return B_SESSION_LOST;
  Drain();
  Result r;
  ++roundTrips;
  r.Reset(PQexec(conn_, sql.c_str()));
  ExecStatusType es = PQresultStatus(r.get());
  if (es == PGRES_TUPLES_OK || es == PGRES_COMMAND_OK) return B_OK;
  return Failure(r.get(), sqlState);
}

int16_t Session::Listen(uint32_t oid) {
  if (listening_.count(oid)) return B_OK;
  int16_t st = Command("LISTEN zul_" + std::to_string(oid));
  if (st == B_OK) listening_.insert(oid);
  return st;
}

uint64_t Session::Changes(uint32_t oid) {
  // The socket is read once per tick of the coarse clock (a few ms) at
  // most: a notification waits no longer than that, well inside the
  // read-ahead's bound, and a walk costs no system call per row.
  const int64_t now = platform::CoarseNowNs();
  if (now == lastPollNs_ && !lost_) {
    auto it = changes_.find(oid);
    return doubts_ + (it == changes_.end() ? 0 : it->second);
  }
  lastPollNs_ = now;
  if (lost_ || PQconsumeInput(conn_) == 0) {
    ++doubts_;
  } else {
    while (PGnotify* n = PQnotifies(conn_)) {
      const char* name = n->relname;
      if (std::strncmp(name, "zul_", 4) == 0) ++changes_[uint32_t(std::strtoul(name + 4, nullptr, 10))];
      PQfreemem(n);
    }
  }
  auto it = changes_.find(oid);
  return doubts_ + (it == changes_.end() ? 0 : it->second);
}

uint64_t* Session::WritePage(const std::string& path, bool* machineWide) {
  std::unique_ptr<Page>& p = pages_[path];
  if (!p) {
    p.reset(new Page);
    p->file.OpenPage(path);
  }
  *machineWide = p->file.hasSharedPage();
  return *machineWide ? p->file.sharedPage() : &p->own;
}

uint64_t Session::RoundTrips() { return roundTrips; }

int16_t Session::Advisory(const Statement& st, uint32_t key1, uint32_t key2, bool* granted) {
  char a[4], b[4];
  PutBE32(a, key1);
  PutBE32(b, key2);
  const char* values[] = {a, b};
  const int lengths[] = {4, 4};
  Result r;
  int16_t status = Run(st, values, lengths, &r);
  if (status != B_OK) return status;
  if (r.rows() != 1 || r.null(0, 0)) return B_IO_ERROR;
  *granted = r.value(0, 0)[0] != 0;
  return B_OK;
}

int16_t Session::OpenLock(uint32_t oid, bool exclusive, const void* holder) {
  if (lost_) return B_SESSION_LOST;
  OpenState& o = opens_[oid];
  if (o.exclusive != nullptr || (exclusive && o.shared > 0)) return B_FILE_LOCKED;
  bool granted = false;
  int16_t st = Advisory(exclusive ? Advisories().lock : Advisories().lockShared, oid, 0, &granted);
  if (st != B_OK) return st;
  if (!granted) return B_FILE_LOCKED;
  lostOpens_.erase(oid);  // held again (or a new table got the number)
  if (exclusive)
    o.exclusive = holder;
  else
    ++o.shared;
  o.holders[holder] = exclusive ? 2 : 1;
  return B_OK;
}

void Session::CloseLock(uint32_t oid, const void* holder) {
  auto it = opens_.find(oid);
  if (it == opens_.end()) return;
  OpenState& o = it->second;
  auto h = o.holders.find(holder);
  if (h == o.holders.end()) return;
  bool exclusive = h->second == 2;
  o.holders.erase(h);
  if (exclusive)
    o.exclusive = nullptr;
  else
    --o.shared;
  if (o.holders.empty()) opens_.erase(it);
  bool granted = false;
  if (!lost_) Advisory(exclusive ? Advisories().unlock : Advisories().unlockShared, oid, 0, &granted);
}

int16_t Session::LockRecord(uint32_t oid, uint32_t pos, const void* holder) {
  if (lost_ || OpenLost(oid)) return B_SESSION_LOST;
  const uint64_t key = (uint64_t(oid) << 32) | pos;
  auto it = records_.find(key);
  if (it != records_.end()) return it->second == holder ? B_OK : B_RECORD_LOCKED;
  bool granted = false;
  int16_t st = Advisory(Advisories().lock, oid, pos, &granted);
  if (st != B_OK) return st;
  if (!granted) return B_RECORD_LOCKED;
  records_[key] = holder;
  return B_OK;
}

void Session::UnlockRecord(uint32_t oid, uint32_t pos, const void* holder) {
  const uint64_t key = (uint64_t(oid) << 32) | pos;
  auto it = records_.find(key);
  if (it == records_.end() || it->second != holder) return;
  records_.erase(it);
  bool granted = false;
  if (!lost_) Advisory(Advisories().unlock, oid, pos, &granted);
}

int16_t Session::JoinTransaction(TxnMember* m) {
  if (lost_ || txnLost_) return B_SESSION_LOST;
  if (!inTransaction_) {
    int16_t st = Command("BEGIN");
    if (st != B_OK) return st;
    inTransaction_ = true;
    txnFailure_ = B_OK;
  }
  members_.push_back(m);
  return B_OK;
}

void Session::LeaveTransaction(TxnMember* m) {
  for (size_t i = 0; i < members_.size(); ++i)
    if (members_[i] == m) {
      if (!lost_) m->BeforeCommit();
      m->TransactionEnded();
      members_.erase(members_.begin() + long(i));
      return;
    }
}

int16_t Session::EndTransaction(bool commit) {
  if (txnLost_) {
    for (TxnMember* m : members_) m->TransactionEnded();
    members_.clear();
    txnLost_ = false;
    return B_SESSION_LOST;
  }
  if (!inTransaction_) return lost_ ? B_SESSION_LOST : B_OK;
  int16_t st = B_OK;
  if (commit) {
    // A statement that failed in the server aborted the transaction: it
    // is rolled back, and End Transaction says why.
    if (PQtransactionStatus(conn_) == PQTRANS_INERROR)
      st = txnFailure_ != B_OK ? txnFailure_ : B_IO_ERROR;
    for (TxnMember* m : members_)
      if (st == B_OK) st = m->BeforeCommit();
    if (st == B_OK) st = Command("COMMIT");
  }
  if (!commit || st != B_OK) {
    if (!lost_ && PQtransactionStatus(conn_) != PQTRANS_IDLE) Command("ROLLBACK");
  }
  for (TxnMember* m : members_) m->TransactionEnded();
  members_.clear();
  inTransaction_ = false;
  txnFailure_ = B_OK;
  const bool lostNow = txnLost_ || lost_;
  txnLost_ = false;
  if (commit) return st != B_OK ? st : (lostNow ? B_SESSION_LOST : B_OK);
  return lostNow ? B_SESSION_LOST : B_OK;
}

}  // namespace pg
}  // namespace recman
