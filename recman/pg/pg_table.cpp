// ServerTable: the records and key entries of one open data file in the
// database layout described in pg_engine.cpp.
//
// Every statement is prepared once per session, on first use, under a name
// made of the record table's object id and the statement's slot, so two
// opens of one file share them and a replaced file (a new table) gets its
// own. Reads are single statements outside any transaction: nothing stays
// open between calls. While the record manager holds a read (HoldRead),
// seeks along a key are served by the read-ahead of pg_read_ahead.h.
#include <cstring>
#include <string>
#include <vector>

#include "platform/env.h"
#include "recman/btrcall.h"
#include "recman/pg/pg_internal.h"
#include "recman/pg/pg_read_ahead.h"

namespace recman {
namespace pg {

namespace {

constexpr long kJoinPollMs = 20;  // pause between attempts to join a transaction

// Statement slots per key: one per SeekHow, the fetch by position, and the
// read-ahead's batches (from the first or last entry, up or down from a
// bound; a unique key has an inclusive variant of each).
constexpr int kKeySlots = 15;
constexpr int kFetchSlot = 8;
enum AheadSlot { kAheadFirst = 9, kAheadLast, kAheadUp, kAheadUpEq, kAheadDown, kAheadDownEq };
// Statement slots of the table.
enum TableSlot {
  kPhysFirst, kPhysLast, kPhysNext, kPhysPrev, kFetchPlain, kInsert, kInsertInTxn,
  kUpdate, kReadVersion, kLockRow, kLockRowSkip, kDelete, kAddCount, kCount, kOwner,
  kTableOid, kTableSlots
};

class ServerTable : public Table, public TxnMember {
 public:
  ServerTable(std::shared_ptr<Session> session, Place place, uint32_t oid, FileInfo info,
              bool machineWide)
      : s_(std::move(session)), place_(std::move(place)), oid_(oid), info_(std::move(info)),
        machineWide_(machineWide) {
    keyStmts_.resize(info_.layout.keys.size() * kKeySlots);
    tableStmts_.resize(kTableSlots);
    name_ = place_.name;
    epoch_ = s_->epoch();
  }

  ~ServerTable() override {
    s_->Forget(this);
    if (txn_) s_->LeaveTransaction(this);
  }

  const FileInfo& info() const override { return info_; }

  int16_t SeekKey(int key, SeekHow how, const uint8_t* image, uint32_t pos,
                  Fetched* out) override {
    if (int16_t st = Enter()) return st;
    if (holding_ && !txn_ && !s_->inTransaction()) return SeekAhead(key, how, image, pos, out);
    const Statement& st = KeyStatement(key, int(how));
    const uint32_t len = info_.layout.keys[key].length;
    char posBytes[8];
    PutBE64(posBytes, pos);
    const char* values[] = {reinterpret_cast<const char*>(image), posBytes};
    const int lengths[] = {int(len), 8};
    Result r;
    int16_t status = s_->Run(st, values, lengths, &r);
    if (status != B_OK) return status;
    return Row(r, key, out);
  }

  int16_t SeekPhysical(SeekHow how, uint32_t pos, int key, Fetched* out) override {
    if (int16_t st = Enter()) return st;
    TableSlot slot = how == SeekHow::kFirst   ? kPhysFirst
                     : how == SeekHow::kLast  ? kPhysLast
                     : how == SeekHow::kAfter ? kPhysNext
                                              : kPhysPrev;
    char posBytes[8];
    PutBE64(posBytes, pos);
    const char* values[] = {posBytes};
    const int lengths[] = {8};
    Result r;
    int16_t status = s_->Run(TableStatement(slot), values, lengths, &r);
    if (status != B_OK) return status;
    status = Row(r, -1, out);
    if (status != B_OK || key < 0) return status;
    return Fetch(out->pos, key, out);
  }

  int16_t Fetch(uint32_t pos, int key, Fetched* out) override {
    if (int16_t st = Enter()) return st;
    const Statement& st = key >= 0 ? KeyStatement(key, kFetchSlot) : TableStatement(kFetchPlain);
    char posBytes[8];
    PutBE64(posBytes, pos);
    const char* values[] = {posBytes};
    const int lengths[] = {8};
    Result r;
    int16_t status = s_->Run(st, values, lengths, &r);
    if (status != B_OK) return status;
    status = Row(r, key, out);
    return status == B_END_OF_FILE ? B_INVALID_RECORD_ADDRESS : status;
  }

  int16_t Insert(const uint8_t* record, uint32_t length, const KeyImages& images,
                 uint32_t* pos, int64_t* version) override {
    if (int16_t st = Enter()) return st;
    DropAhead();
    std::vector<const char*> values;
    std::vector<int> lengths;
    if (!txn_) {
      values.push_back(name_.c_str());
      lengths.push_back(int(name_.size()));
    }
    values.push_back(reinterpret_cast<const char*>(record));
    lengths.push_back(int(length));
    AddImages(images, &values, &lengths);
    Result r;
    int16_t st = s_->Run(TableStatement(txn_ ? kInsertInTxn : kInsert), values.data(),
                         lengths.data(), &r);
    if (st != B_OK) return st;
    if (r.rows() != 1) return txn_ ? B_DUPLICATE_KEY : B_IO_ERROR;
    *pos = uint32_t(r.Int(0, 0));
    *version = 1;
    if (txn_) ++delta_;
    return B_OK;
  }

  int16_t Update(uint32_t pos, int64_t version, const uint8_t* record, uint32_t length,
                 const KeyImages& images, int64_t* newVersion) override {
    if (int16_t st = Enter()) return st;
    DropAhead();
    char posBytes[8], verBytes[8];
    PutBE64(posBytes, pos);
    PutBE64(verBytes, uint64_t(version));
    std::vector<const char*> values = {posBytes, verBytes,
                                       reinterpret_cast<const char*>(record)};
    std::vector<int> lengths = {8, 8, int(length)};
    AddImages(images, &values, &lengths);
    // Inside the transaction a failed statement (a unique key met) must not
    // end the transaction: a savepoint keeps it to this write.
    int16_t st = txn_ ? s_->Command("SAVEPOINT zul_write") : B_OK;
    if (st != B_OK) return st;
    Result r;
    st = s_->Run(TableStatement(kUpdate), values.data(), lengths.data(), &r);
    if (txn_) {
      int16_t closed = s_->Command(st == B_OK ? "RELEASE zul_write"
                                              : "ROLLBACK TO zul_write");
      if (st == B_OK) st = closed;
    }
    if (st != B_OK) return st;
    if (r.rows() == 1) {
      *newVersion = r.Int(0, 0);
      return B_OK;
    }
    // Nothing updated: the record changed or went (80), or a key that is
    // not modifiable would change (10).
    const char* rv[] = {posBytes};
    const int rl[] = {8};
    Result v;
    st = s_->Run(TableStatement(kReadVersion), rv, rl, &v);
    if (st != B_OK) return st;
    if (v.rows() != 1 || v.Int(0, 0) != version) return B_CONFLICT;
    return B_MODIFIABLE_KEY_ERROR;
  }

  int16_t Delete(uint32_t pos, int64_t version) override {
    if (int16_t st = Enter()) return st;
    DropAhead();
    char posBytes[8], verBytes[8];
    PutBE64(posBytes, pos);
    PutBE64(verBytes, uint64_t(version));
    const char* nv[] = {name_.c_str()};
    const int nl[] = {int(name_.size())};
    const char* dv[] = {posBytes, verBytes};
    const int dl[] = {8, 8};
    if (txn_) {
      Result r;
      int16_t st = s_->Run(TableStatement(kDelete), dv, dl, &r);
      if (st != B_OK) return st;
      if (r.rows() != 1) return B_CONFLICT;
      --delta_;
      return B_OK;
    }
    // A short transaction of its own: the catalogue row first (the order
    // every writer keeps), then the record and the count.
    int16_t st = s_->Command("BEGIN");
    if (st != B_OK) return st;
    Result lock, del, count;
    st = s_->Run(TableStatement(kLockRow), nv, nl, &lock);
    if (st == B_OK) st = s_->Run(TableStatement(kDelete), dv, dl, &del);
    if (st == B_OK && del.rows() != 1) st = B_CONFLICT;
    if (st == B_OK) st = AddCount(-1, &count);
    if (st == B_OK) st = s_->Command("COMMIT");
    if (st != B_OK && !s_->lost()) s_->Command("ROLLBACK");
    return st;
  }

  int16_t RecordCount(uint32_t* count) override {
    *count = 0;
    if (int16_t st = Enter()) return st;
    const char* values[] = {name_.c_str()};
    const int lengths[] = {int(name_.size())};
    Result r;
    int16_t st = s_->Run(TableStatement(kCount), values, lengths, &r);
    if (st != B_OK) return st;
    if (r.rows() != 1) return B_NOT_A_DATA_FILE;
    int64_t n = r.Int(0, 0) + delta_;
    *count = n < 0 ? 0 : uint32_t(n);
    return B_OK;
  }

  int16_t BeginTransaction() override {
    if (int16_t st = Enter()) return st;
    if (txn_) return B_OK;
    int16_t st = s_->JoinTransaction(this);
    if (st != B_OK) return st;
    txn_ = true;
    // Other terminals' inserts and deletes of this file wait from here on.
    const char* values[] = {name_.c_str()};
    const int lengths[] = {int(name_.size())};
    const int64_t start = platform::CoarseNowNs();
    for (;;) {
      Result r;
      st = s_->Run(TableStatement(kLockRowSkip), values, lengths, &r);
      if (st != B_OK || r.rows() == 1) break;
      if (platform::CoarseNowNs() - start >= kLockWaitMs * 1000000) {
        st = B_FILE_LOCKED;
        break;
      }
      platform::SleepMs(kJoinPollMs);
    }
    if (st != B_OK) s_->LeaveTransaction(this);
    return st;
  }

  int16_t EndTransaction(bool commit) override {
    if (!txn_) return B_OK;
    return s_->EndTransaction(commit);
  }

  int16_t HoldRead() override {
    if (txn_ || s_->inTransaction()) return B_INVALID_OPERATION;
    holding_ = true;
    return B_OK;
  }
  void ReleaseRead() override {
    holding_ = false;
    DropAhead();
  }
  bool holdingRead() const override { return holding_; }

  int16_t SetOwner(const std::string& owner, int mode) override {
    if (int16_t st = Enter()) return st;
    char modeBytes[4] = {0, 0, 0, char(mode)};
    const char* values[] = {name_.c_str(), owner.data(), modeBytes};
    const int lengths[] = {int(name_.size()), int(owner.size()), 4};
    Result r;
    int16_t st = s_->Run(TableStatement(kOwner), values, lengths, &r);
    if (st != B_OK) return st;
    info_.owner = owner;
    info_.ownerMode = mode;
    return B_OK;
  }

  // TxnMember.
  int16_t BeforeCommit() override {
    if (delta_ == 0) return B_OK;
    Result r;
    int16_t st = AddCount(delta_, &r);
    if (st == B_OK) delta_ = 0;
    return st;
  }
  void TransactionEnded() override {
    txn_ = false;
    delta_ = 0;
  }

 private:
  // At the start of every call: the session reconnected when it was lost.
  // After a reconnection the file must still be the table it was (a file
  // replaced meanwhile, or one whose open lock another terminal took,
  // stays lost); a member of a transaction that was lost gives 95 until
  // the transaction ends. Returns 0 or 95.
  int16_t Enter() {
    int16_t st = s_->Ready();
    if (st != B_OK) return st;
    if (gone_ || (txn_ && s_->transactionLost())) return B_SESSION_LOST;
    if (epoch_ == s_->epoch()) return B_OK;
    DropAhead();  // its notifications were lost with the connection
    const char* values[] = {place_.table.c_str()};
    const int lengths[] = {int(place_.table.size())};
    Result r;
    st = s_->Run(TableStatement(kTableOid), values, lengths, &r);
    if (st != B_OK) return st;
    if (s_->OpenLost(oid_) || r.rows() != 1 || r.null(0, 0) || uint32_t(r.Int(0, 0)) != oid_) {
      gone_ = true;
      return B_SESSION_LOST;
    }
    epoch_ = s_->epoch();
    return B_OK;
  }

  // A seek while a read is held: answered from the fetched-ahead rows when
  // they can, else by a batch fetched from the server (pg_read_ahead.h).
  int16_t SeekAhead(int key, SeekHow how, const uint8_t* image, uint32_t pos, Fetched* out) {
    const Key& k = info_.layout.keys[key];
    const Bound bound = BoundOf(how, image, k.length, pos, k.duplicates);
    if (!ahead_.empty() && (platform::CoarseNowNs() - ahead_.taken() >= kAheadLimitNs ||
                            s_->Changes(oid_) != ahead_.changes()))
      DropAhead();
    // The steps of a walk are served from the rows. A seek (Get First,
    // Equal, Greater...) is too when every writer of the machine announces
    // its writes on the shared page (machineWide_): the held-read protocol
    // then drops the rows at any write that returned since they were
    // fetched. Without the page a seek always asks the server, and so sees
    // every write that had returned before it began.
    const bool step = how == SeekHow::kAfter || how == SeekHow::kBefore;
    const AheadRow* row = nullptr;
    ReadAhead::Answer a = ahead_.empty() || !(step || machineWide_)
                              ? ReadAhead::Answer::kUnknown
                              : ahead_.Find(key, bound, &row);
    if (a == ReadAhead::Answer::kRow || a == ReadAhead::Answer::kEnd) ahead_.NoteServed();
    if (a == ReadAhead::Answer::kUnknown || a == ReadAhead::Answer::kBeyond) {
      // Beyond the last row the walk goes on with a batch eight times the
      // last; elsewhere the size depends on how the last batches served
      // (ReadAhead::BatchFor), starting with 32 for a step or a seek the
      // rows may answer, and with its own row for a seek that only the
      // server answers (a lookup costs what it did).
      const bool beyond = a == ReadAhead::Answer::kBeyond;
      const uint32_t batch =
          beyond ? ahead_.NextBatch()
                 : ahead_.BatchFor(key, step || machineWide_ ? kFirstBatch : kSeekBatch);
      int16_t st = FetchAhead(key, beyond ? ahead_.Continuation() : bound, batch, beyond);
      if (st != B_OK) return st;
      a = ahead_.Find(key, bound, &row);
    }
    if (a == ReadAhead::Answer::kEnd) return B_END_OF_FILE;
    if (a != ReadAhead::Answer::kRow) return B_IO_ERROR;
    out->pos = row->pos;
    out->version = row->version;
    out->record = reinterpret_cast<const uint8_t*>(row->record.data());
    out->length = uint32_t(row->record.size());
    out->hasImage = true;
    std::memcpy(out->image, row->order.image.data(), k.length);
    return B_OK;
  }

  // Lets the fetched-ahead rows go, and the batch sent after them.
  void DropAhead() {
    ahead_.Drop();
    if (sent_) s_->Forget(this);
    sent_ = false;
  }

  // Runs (send false) or sends without waiting (Session::Send) the
  // statement of up to `batch` entries of key beyond `from`. Returns 0 or
  // a status; a send that failed is a status too.
  int16_t AheadStatement(int key, const Bound& from, uint32_t batch, bool send, Result* r) {
    const Key& k = info_.layout.keys[key];
    int slot = from.open ? (from.up ? kAheadFirst : kAheadLast) : (from.up ? kAheadUp : kAheadDown);
    if (!from.open && !k.duplicates && from.up && from.at.pos == 0) slot = kAheadUpEq;
    if (!from.open && !k.duplicates && !from.up && from.at.pos >= 2) slot = kAheadDownEq;
    char posBytes[8], limitBytes[8];
    PutBE64(posBytes, from.at.pos);
    PutBE64(limitBytes, batch);
    const char* openValues[] = {limitBytes};
    const int openLengths[] = {8};
    const char* values[] = {from.at.image.data(), posBytes, limitBytes};
    const int lengths[] = {int(k.length), 8, 8};
    const Statement& st = KeyStatement(key, slot);
    const char* const* v = from.open ? openValues : values;
    const int* l = from.open ? openLengths : lengths;
    if (send) return s_->Send(st, v, l, this) ? B_OK : B_IO_ERROR;
    return s_->Run(st, v, l, r);
  }

  static bool SameBound(const Bound& a, const Bound& b) {
    return a.open == b.open && a.up == b.up && a.at.image == b.at.image && a.at.pos == b.at.pos;
  }

  // Fetches up to `batch` entries of key beyond `from` into the read-ahead:
  // the batch sent after the last rows when it is this one and nothing
  // changed since it was sent, else a statement now. A long walk that goes
  // on (walkOn: beyond the last row of a whole batch), from its second
  // batch of the largest size on, sends the next batch at once, so that the
  // server makes it while these rows are served; the walks of a pass, a few
  // hundred rows long, send nothing they may not use.
  int16_t FetchAhead(int key, const Bound& from, uint32_t batch, bool walkOn = false) {
    Result r;
    int64_t taken = 0;
    uint64_t changes = 0;
    bool have = false;
    if (sent_ && sentKey_ == key && sentBatch_ == batch && SameBound(sentFrom_, from)) {
      sent_ = false;
      int16_t st = B_OK;
      if (s_->Collect(this, &r, &st)) {
        if (st != B_OK) return st;
        have = s_->Changes(oid_) == sentChanges_ &&
               platform::CoarseNowNs() - sentTaken_ < kAheadLimitNs;
        taken = sentTaken_;
        changes = sentChanges_;
      }
    }
    DropAhead();
    if (!have) {
      int16_t st = s_->Listen(oid_);  // before the rows' snapshot
      if (st != B_OK) return st;
      taken = platform::CoarseNowNs();
      changes = s_->Changes(oid_);
      st = AheadStatement(key, from, batch, /*send=*/false, &r);
      if (st != B_OK) return st;
    }
    const Key& k = info_.layout.keys[key];
    std::vector<AheadRow> rows(size_t(r.rows()));
    for (int i = 0; i < r.rows(); ++i) {
      AheadRow& row = rows[size_t(i)];
      row.pos = uint32_t(r.Int(i, 0));
      row.version = r.Int(i, 1);
      row.record.assign(r.value(i, 2), size_t(r.length(i, 2)));
      if (r.null(i, 3) || uint32_t(r.length(i, 3)) != k.length ||
          row.record.size() < info_.layout.recordLength)
        return B_IO_ERROR;  // damaged
      row.order.image.assign(r.value(i, 3), k.length);
      row.order.pos = k.duplicates ? row.pos : 1;
    }
    const bool whole = rows.size() == batch;
    ahead_.Fill(key, from, batch, std::move(rows), taken, changes);
    largeBatches_ = walkOn && batch == kLargestBatch ? largeBatches_ + 1 : 0;
    if (walkOn && whole && largeBatches_ >= 2) {
      sentKey_ = key;
      sentFrom_ = ahead_.Continuation();
      sentBatch_ = ahead_.NextBatch();
      sentTaken_ = platform::CoarseNowNs();
      sentChanges_ = s_->Changes(oid_);
      sent_ = AheadStatement(key, sentFrom_, sentBatch_, /*send=*/true, nullptr) == B_OK;
    }
    return B_OK;
  }

  std::string StatementName(int slot) const {
    return "t" + std::to_string(oid_) + "_" + std::to_string(slot);
  }

  // The ORDER BY of a walk along key k (column col), up or down.
  static std::string OrderBy(const Key& k, const std::string& col, bool up) {
    const char* dir = up ? "" : " DESC";
    return " ORDER BY " + col + dir + (k.duplicates ? ", pos" + std::string(dir) : std::string());
  }

  const Statement& KeyStatement(int key, int slot) {
    Statement& st = keyStmts_[size_t(key) * kKeySlots + size_t(slot)];
    if (!st.name.empty()) return st;
    const Key& k = info_.layout.keys[key];
    const std::string col = "k" + std::to_string(key);
    const std::string cols = "SELECT pos, ver, data, " + col + " FROM " + place_.table + " WHERE ";
    // Entries sort by (image, position); a unique key has one position per
    // image, so its own index orders it.
    const std::string up = k.duplicates ? " ORDER BY " + col + ", pos LIMIT 1"
                                        : " ORDER BY " + col + " LIMIT 1";
    const std::string down = k.duplicates ? " ORDER BY " + col + " DESC, pos DESC LIMIT 1"
                                          : " ORDER BY " + col + " DESC LIMIT 1";
    const bool both = k.duplicates;  // (image, position) bounds
    std::vector<Oid> image = {kBytea};
    std::vector<Oid> imagePos = {kBytea, kInt8};
    switch (slot) {
      case int(SeekHow::kFirst): st.sql = cols + col + " IS NOT NULL" + up; break;
      case int(SeekHow::kLast): st.sql = cols + col + " IS NOT NULL" + down; break;
      case int(SeekHow::kAfter):
        st.sql = cols + (both ? "(" + col + ", pos) > ($1, $2)" : col + " > $1") + up;
        st.types = both ? imagePos : image;
        break;
      case int(SeekHow::kBefore):
        st.sql = cols + (both ? "(" + col + ", pos) < ($1, $2)" : col + " < $1") + down;
        st.types = both ? imagePos : image;
        break;
      case int(SeekHow::kAtLeast): st.sql = cols + col + " >= $1" + up; st.types = image; break;
      case int(SeekHow::kAtMost): st.sql = cols + col + " <= $1" + down; st.types = image; break;
      case int(SeekHow::kAbove): st.sql = cols + col + " > $1" + up; st.types = image; break;
      case int(SeekHow::kBelow): st.sql = cols + col + " < $1" + down; st.types = image; break;
      case kFetchSlot: st.sql = cols + "pos = $1"; st.types = {kInt8}; break;
      case kAheadFirst:
      case kAheadLast:
        st.sql = cols + col + " IS NOT NULL" + OrderBy(k, col, slot == kAheadFirst) + " LIMIT $1";
        st.types = {kInt8};
        break;
      case kAheadUp:
      case kAheadUpEq:
      case kAheadDown:
      case kAheadDownEq: {
        const bool up = slot == kAheadUp || slot == kAheadUpEq;
        const char* op = slot == kAheadUp ? " > " : slot == kAheadUpEq ? " >= "
                         : slot == kAheadDown ? " < " : " <= ";
        st.sql = cols + (both ? "(" + col + ", pos)" + op + "($1, $2)" : col + op + "$1") +
                 OrderBy(k, col, up) + " LIMIT $3";
        st.types = {kBytea, kInt8, kInt8};
        break;
      }
      default: break;
    }
    // The fetch takes the position as its only parameter; the seeks take
    // the image first.
    st.name = StatementName(100 + key * kKeySlots + slot);
    return st;
  }

  // The subquery that notifies the file's channel when the statement's
  // transaction commits (pg_read_ahead.h).
  std::string Notify() const {
    return "(SELECT pg_notify('zul_" + std::to_string(oid_) + "', '')) notified";
  }

  const Statement& TableStatement(TableSlot slot) {
    Statement& st = tableStmts_[slot];
    if (!st.name.empty()) return st;
    const std::string& t = place_.table;
    const std::string& c = place_.catalogue;
    const std::string cols = "SELECT pos, ver, data FROM " + t + " ";
    const size_t n = info_.layout.keys.size();
    std::string keyCols, keyParams;
    switch (slot) {
      case kPhysFirst: st.sql = cols + "ORDER BY pos LIMIT 1"; break;
      case kPhysLast: st.sql = cols + "ORDER BY pos DESC LIMIT 1"; break;
      case kPhysNext: st.sql = cols + "WHERE pos > $1 ORDER BY pos LIMIT 1"; st.types = {kInt8}; break;
      case kPhysPrev: st.sql = cols + "WHERE pos < $1 ORDER BY pos DESC LIMIT 1"; st.types = {kInt8}; break;
      case kFetchPlain: st.sql = cols + "WHERE pos = $1"; st.types = {kInt8}; break;
      case kInsert:
        // The catalogue row is changed first: the insert's rows come from
        // it, so its lock is taken before any of the record's.
        for (size_t k = 0; k < n; ++k) {
          keyCols += ", k" + std::to_string(k);
          keyParams += ", $" + std::to_string(k + 3);
        }
        st.sql = "WITH f AS (UPDATE " + c + " SET records = records + 1 WHERE name = $1"
                 " RETURNING 1) INSERT INTO " + t + " (ver, data" + keyCols +
                 ") SELECT 1, $2::bytea" + keyParams + " FROM f, " + Notify() + " RETURNING pos";
        st.types = {kText, kBytea};
        st.types.resize(2 + n, kBytea);
        break;
      case kInsertInTxn:
        for (size_t k = 0; k < n; ++k) {
          keyCols += ", k" + std::to_string(k);
          keyParams += ", $" + std::to_string(k + 2);
        }
        st.sql = "INSERT INTO " + t + " (ver, data" + keyCols + ") SELECT 1, $1::bytea" +
                 keyParams + " FROM " + Notify() + " ON CONFLICT DO NOTHING RETURNING pos";
        st.types.assign(1 + n, kBytea);
        break;
      case kUpdate: {
        st.sql = "UPDATE " + t + " SET ver = ver + 1, data = $3";
        std::string guard;
        for (size_t k = 0; k < n; ++k) {
          std::string col = "k" + std::to_string(k), param = "$" + std::to_string(k + 4);
          st.sql += ", " + col + " = " + param;
          if (!info_.layout.keys[k].modifiable)
            guard += " AND " + col + " IS NOT DISTINCT FROM " + param;
        }
        st.sql += " FROM " + Notify() + " WHERE pos = $1 AND ver = $2" + guard + " RETURNING ver";
        st.types = {kInt8, kInt8, kBytea};
        st.types.resize(3 + n, kBytea);
        break;
      }
      case kReadVersion: st.sql = "SELECT ver FROM " + t + " WHERE pos = $1"; st.types = {kInt8}; break;
      case kLockRow:
        st.sql = "SELECT 1 FROM " + c + " WHERE name = $1 FOR UPDATE";
        st.types = {kText};
        break;
      case kLockRowSkip:
        st.sql = "SELECT 1 FROM " + c + " WHERE name = $1 FOR UPDATE SKIP LOCKED";
        st.types = {kText};
        break;
      case kDelete:
        st.sql = "DELETE FROM " + t + " USING " + Notify() +
                 " WHERE pos = $1 AND ver = $2 RETURNING 1";
        st.types = {kInt8, kInt8};
        break;
      case kAddCount:
        st.sql = "UPDATE " + c + " SET records = records + $2 WHERE name = $1";
        st.types = {kText, kInt8};
        break;
      case kTableOid: st.sql = "SELECT to_regclass($1)::oid"; st.types = {kText}; break;
      case kCount: st.sql = "SELECT records FROM " + c + " WHERE name = $1"; st.types = {kText}; break;
      case kOwner:
        st.sql = "UPDATE " + c + " SET owner = $2, owner_mode = $3 WHERE name = $1";
        st.types = {kText, kBytea, kInt4};
        break;
      default: break;
    }
    st.name = StatementName(slot);
    return st;
  }

  // Key images as parameters: the image, or NULL for a null key.
  void AddImages(const KeyImages& images, std::vector<const char*>* values,
                 std::vector<int>* lengths) {
    for (size_t k = 0; k < info_.layout.keys.size(); ++k) {
      if (images.present[k]) {
        values->push_back(reinterpret_cast<const char*>(images.bytes.data() + images.offset[k]));
        lengths->push_back(int(info_.layout.keys[k].length));
      } else {
        values->push_back(nullptr);
        lengths->push_back(0);
      }
    }
  }

  int16_t AddCount(int64_t delta, Result* r) {
    char d[8];
    PutBE64(d, uint64_t(delta));
    const char* values[] = {name_.c_str(), d};
    const int lengths[] = {int(name_.size()), 8};
    return s_->Run(TableStatement(kAddCount), values, lengths, r);
  }

  // Copies the first row of r (pos, ver, data and, when key >= 0, the key's
  // image) into *out; 9 when there is none.
  int16_t Row(const Result& r, int key, Fetched* out) {
    if (r.rows() == 0) return B_END_OF_FILE;
    out->pos = uint32_t(r.Int(0, 0));
    out->version = r.Int(0, 1);
    const int n = r.length(0, 2);
    record_.assign(r.value(0, 2), r.value(0, 2) + n);
    out->record = reinterpret_cast<const uint8_t*>(record_.data());
    out->length = uint32_t(n);
    out->hasImage = false;
    if (key >= 0 && !r.null(0, 3)) {
      const uint32_t len = info_.layout.keys[key].length;
      if (uint32_t(r.length(0, 3)) != len) return B_IO_ERROR;  // damaged
      std::memcpy(out->image, r.value(0, 3), len);
      out->hasImage = true;
    }
    if (out->length < info_.layout.recordLength) return B_IO_ERROR;
    return B_OK;
  }

  std::shared_ptr<Session> s_;
  Place place_;
  std::string name_;
  uint32_t oid_;
  FileInfo info_;
  std::vector<Statement> keyStmts_;
  std::vector<Statement> tableStmts_;
  std::vector<char> record_;
  uint64_t epoch_ = 0;  // the session's epoch when the table was last known
  bool gone_ = false;   // lost with a connection for good
  bool holding_ = false;  // the record manager holds a read (HoldRead)
  bool machineWide_;      // the write generation is the machine's
  ReadAhead ahead_;
  // The batch sent after ahead_'s rows (FetchAhead), its statement's key,
  // bound and size, and the clock and change count when it was sent.
  bool sent_ = false;
  int sentKey_ = -1;
  Bound sentFrom_;
  uint32_t sentBatch_ = 0;
  int64_t sentTaken_ = 0;
  uint64_t sentChanges_ = 0;
  int largeBatches_ = 0;  // of the largest size fetched on in a row by the walk
  bool txn_ = false;   // a member of the session's transaction
  int64_t delta_ = 0;  // record-count change not yet written (in txn_)
};

}  // namespace

std::unique_ptr<Table> NewServerTable(std::shared_ptr<Session> session, Place place,
                                      uint32_t oid, FileInfo info, bool machineWide) {
  return std::unique_ptr<Table>(new ServerTable(std::move(session), std::move(place), oid,
                                                std::move(info), machineWide));
}

}  // namespace pg
}  // namespace recman
