// Record and file locks within one process (checked against a second open
// of the file), the lock requests made, the put rules of shared use, the
// record read again once a lock is granted, and the net-error flag.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/system.h"
#include "storage/recording_fs_test_support.h"
#include "storage/work_areas.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::storage {
namespace {

using errors::Answer;

constexpr std::uint64_t kBase = 1'000'000'000;

// Answers like the run's handler: default to an open refused with code 32
// or to a failed append lock sets the net-error flag.
class NetErrHandler : public testing::ScriptedHandler {
 public:
  WorkAreaList* areas = nullptr;
  errors::Answer handle(const errors::ErrorRecord& record) override {
    errors::Answer answer = ScriptedHandler::handle(record);
    bool inUse = (record.genCode == 21 && record.osCode == 32) || record.genCode == 40;
    if (answer == Answer::Default && inUse && areas) areas->netErr(true);
    return answer;
  }
};

class LocksTest : public ::testing::Test {
 protected:
  LocksTest() : env_(recording_, clock_, handler_), areas_(env_) {
    env_.defaultDir = dir_.path();
    handler_.areas = &areas_;
  }

  // T: NOME C(10), records R1 to R10.
  void SetUp() override {
    ASSERT_TRUE(areas_.createTable("T", {{"NOME", "C", 10, 0, {}}}, "", true));
    for (int i = 1; i <= 10; ++i) {
      ASSERT_TRUE(area().append());
      area().putField(1, FieldValue("R" + std::to_string(i)));
    }
    areas_.closeAll();
    log_.calls.clear();
  }

  WorkArea& open(bool shared, const std::string& alias = "") {
    EXPECT_TRUE(areas_.useArea(true, "", "T", alias, shared));
    return area();
  }
  WorkArea& area() { return areas_.current(); }

  // True when another open of the table cannot lock the byte at offset.
  bool heldElsewhere(std::uint64_t offset) {
    auto other =
        fs_->open(dir_.file("T.dbf"), platform::Access::ReadWrite, platform::ShareMode::Shared);
    EXPECT_TRUE(other.ok());
    if (!other) return false;
    auto granted = (*other)->tryLock(offset, 1, platform::LockKind::Exclusive);
    EXPECT_TRUE(granted.ok());
    return granted.ok() && !*granted;
  }

  // The lock requests and releases in the log.
  std::vector<std::string> lockCalls() const {
    std::vector<std::string> calls;
    for (const auto& c : log_.calls)
      if (c.starts_with("tryLock") || c.starts_with("lockWait") || c.starts_with("unlock"))
        calls.push_back(c);
    return calls;
  }

  std::string nameOf(std::uint32_t record) {
    area().goTo(record);
    return area().getField(1).string();
  }

  testing::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::newSystemFileSystem();
  testing::CallLog log_;
  testing::RecordingFileSystem recording_{*fs_, log_};
  testing::FixedClock clock_;
  NetErrHandler handler_;
  StorageEnv env_;
  WorkAreaList areas_;
};

enum class Op { LockRecord, LockRecords, LockFile, Unlock, UnlockAll };
struct Step {
  Op op;
  std::uint32_t record = 0;
};

void run(WorkArea& a, const Step& step) {
  switch (step.op) {
    case Op::LockRecord:
      a.goTo(step.record);
      EXPECT_TRUE(a.lockRecord());
      break;
    case Op::LockRecords:
      EXPECT_TRUE(a.lockRecords(step.record));
      break;
    case Op::LockFile:
      EXPECT_TRUE(a.lockFile());
      break;
    case Op::Unlock:
      a.unlock(step.record);
      break;
    case Op::UnlockAll:
      a.unlock();
      break;
  }
}

TEST_F(LocksTest, LockCallsLeaveExactlyTheExpectedRegionsLocked) {
  struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::uint32_t> locked;
    bool fileLocked;
  };
  const Case cases[] = {
      {"lockRecord releases the locks held before",
       {{Op::LockRecord, 5}, {Op::LockRecord, 9}},
       {9},
       false},
      {"lockRecords keeps them, in the order taken",
       {{Op::LockRecords, 9}, {Op::LockRecords, 5}},
       {9, 5},
       false},
      {"lockRecords of a record held adds nothing",
       {{Op::LockRecords, 5}, {Op::LockRecords, 5}},
       {5},
       false},
      {"lockRecord after lockRecords keeps only the current record",
       {{Op::LockRecords, 5}, {Op::LockRecords, 9}, {Op::LockRecord, 2}},
       {2},
       false},
      {"unlock of one record releases only that one",
       {{Op::LockRecords, 5}, {Op::LockRecords, 9}, {Op::LockRecords, 3}, {Op::Unlock, 9}},
       {5, 3},
       false},
      {"unlock of a record not held changes nothing",
       {{Op::LockRecords, 5}, {Op::Unlock, 7}},
       {5},
       false},
      {"unlock without a number releases every record",
       {{Op::LockRecords, 5}, {Op::LockRecords, 9}, {Op::UnlockAll}},
       {},
       false},
      {"lockFile gives up the record locks",
       {{Op::LockRecords, 5}, {Op::LockRecord, 9}, {Op::LockFile}},
       {},
       true},
      {"record locks under the file lock succeed without a region",
       {{Op::LockFile}, {Op::LockRecord, 4}, {Op::LockRecords, 6}},
       {},
       true},
      {"unlock without a number releases the file lock",
       {{Op::LockFile}, {Op::UnlockAll}},
       {},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WorkArea& a = open(true);
    for (const Step& step : c.steps) run(a, step);
    EXPECT_EQ(a.lockedRecords(), c.locked);
    for (std::uint32_t r = 1; r <= 10; ++r) {
      bool expected = c.fileLocked || std::count(c.locked.begin(), c.locked.end(), r) == 1;
      EXPECT_EQ(heldElsewhere(kBase + r), expected) << "record " << r;
    }
    // The file lock covers every record byte, even beyond the table, but
    // not the header lock byte below them.
    EXPECT_EQ(heldElsewhere(kBase + 11), c.fileLocked);
    EXPECT_EQ(heldElsewhere(kBase + kBase), c.fileLocked);
    EXPECT_FALSE(heldElsewhere(kBase));
    areas_.closeArea();
    for (std::uint32_t r = 1; r <= 11; ++r) EXPECT_FALSE(heldElsewhere(kBase + r)) << "after close";
  }
}

TEST_F(LocksTest, ExclusiveUseAsksTheSystemForNoLock) {
  struct Case {
    bool shared;
    std::vector<std::string> lockCalls;
  };
  const Case cases[] = {
      {false, {}},
      {true,
       {"tryLock 1000000005 1", "tryLock 1000000007 1", "unlock 1000000005 1",
        "unlock 1000000007 1", "tryLock 1000000001 1000000000", "unlock 1000000001 1000000000"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shared ? "shared" : "exclusive");
    WorkArea& a = open(c.shared);
    log_.calls.clear();
    a.goTo(5);
    EXPECT_TRUE(a.lockRecord());
    EXPECT_TRUE(a.lockRecords(7));
    const std::vector<std::uint32_t> held =
        c.shared ? std::vector<std::uint32_t>{5, 7} : std::vector<std::uint32_t>{};
    EXPECT_EQ(a.lockedRecords(), held);
    EXPECT_TRUE(a.lockFile());
    a.putField(1, FieldValue("CHANGED"));
    EXPECT_TRUE(a.append());  // under the file lock no append or header lock either
    a.commit();
    a.unlock();
    EXPECT_EQ(lockCalls(), c.lockCalls);
    areas_.closeArea();
  }
}

TEST_F(LocksTest, PutsInSharedUseNeedTheRecordOrTheFileLocked) {
  struct Case {
    const char* what;
    bool shared;
    std::function<void(WorkArea&)> lock;
    bool allowed;
  };
  const Case cases[] = {
      {"no lock", true, [](WorkArea&) {}, false},
      {"lockRecord", true, [](WorkArea& a) { EXPECT_TRUE(a.lockRecord()); }, true},
      {"lockRecords of this record", true, [](WorkArea& a) { EXPECT_TRUE(a.lockRecords(5)); },
       true},
      {"lockRecords of another record", true, [](WorkArea& a) { EXPECT_TRUE(a.lockRecords(3)); },
       false},
      {"lockFile", true, [](WorkArea& a) { EXPECT_TRUE(a.lockFile()); }, true},
      {"lock released again", true,
       [](WorkArea& a) {
         EXPECT_TRUE(a.lockRecord());
         a.unlock(5);
       },
       false},
      {"exclusive use", false, [](WorkArea&) {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    handler_.records.clear();
    WorkArea& a = open(c.shared);
    a.goTo(5);
    c.lock(a);
    if (c.allowed) {
      a.putField(1, FieldValue("CHANGED"));
      EXPECT_TRUE(handler_.records.empty());
    } else {
      EXPECT_THROW(a.putField(1, FieldValue("CHANGED")), errors::ErrorAbandoned);
      ASSERT_EQ(handler_.records.size(), 1u);
      EXPECT_EQ(handler_.records[0].genCode, 38);
      EXPECT_EQ(handler_.records[0].subCode, 1022);
      EXPECT_EQ(handler_.records[0].description, "Lock required");
      EXPECT_EQ(handler_.records[0].fileName, dir_.file("T.dbf"));
    }
    areas_.closeArea();
    open(false);
    EXPECT_EQ(nameOf(5), c.allowed ? "CHANGED   " : "R5        ");
    if (c.allowed) area().putField(1, FieldValue("R5"));
    areas_.closeArea();
  }
}

TEST_F(LocksTest, AGrantedLockReadsTheRecordAgain) {
  struct Case {
    const char* what;
    std::function<bool(WorkArea&)> lock;
  };
  const Case cases[] = {
      {"lockRecord", [](WorkArea& a) { return a.lockRecord(); }},
      {"lockRecords of the current record", [](WorkArea& a) { return a.lockRecords(4); }},
      {"lockFile", [](WorkArea& a) { return a.lockFile(); }},
  };
  int round = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string changed = "CHANGED" + std::to_string(round++);
    WorkArea& reader = open(true, "READER");
    const std::string before = nameOf(4);
    ASSERT_NE(before.substr(0, changed.size()), changed);
    WorkArea& writer = open(true, "WRITER");
    writer.goTo(4);
    ASSERT_TRUE(writer.lockRecord());
    writer.putField(1, FieldValue(changed));
    writer.unlock();  // commits the change first

    EXPECT_EQ(reader.getField(1).string(), before);  // the buffer read before
    ASSERT_TRUE(c.lock(reader));
    EXPECT_EQ(reader.getField(1).string(), changed + "  ");
    areas_.closeAll();
  }
}

TEST_F(LocksTest, SuccessfulOpensAndAppendsClearTheNetErrorFlag) {
  struct Case {
    const char* what;
    std::function<void()> setUp;
    std::function<bool()> action;
  };
  const Case cases[] = {
      {"useArea", [] {}, [this] { return areas_.useArea(true, "", "T"); }},
      {"append, exclusive", [this] { open(false); }, [this] { return area().append(); }},
      {"append, shared", [this] { open(true); }, [this] { return area().append(); }},
      {"append of record bytes", [this] { open(false); },
       [this] { return area().appendRecordBytes(std::string(" BYTES     ")); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.setUp();
    areas_.netErr(true);
    EXPECT_TRUE(c.action());
    EXPECT_FALSE(areas_.netErr());
    areas_.closeAll();
  }
}

TEST_F(LocksTest, TheNetErrorFlagTellsATableInUseFromOtherFailures) {
  handler_.setOtherwise(Answer::Default);
  open(false, "ONE");
  EXPECT_FALSE(areas_.useArea(true, "", "T", "TWO", true));
  EXPECT_TRUE(areas_.netErr());  // held exclusively by another open
  EXPECT_FALSE(areas_.useArea(true, "", "MISSING"));
  EXPECT_FALSE(areas_.netErr());  // cleared first; not found is another failure
  areas_.closeAll();

  WorkArea& one = open(true, "ONE");
  WorkArea& two = open(true, "TWO");
  ASSERT_TRUE(two.lockRecords(11));  // the record the next append would take
  areas_.selectArea("ONE");
  EXPECT_FALSE(one.append());
  EXPECT_EQ(handler_.records.back().genCode, 40);
  EXPECT_EQ(handler_.records.back().subCode, 1024);
  EXPECT_TRUE(areas_.netErr());
  two.unlock();
  EXPECT_TRUE(one.append());
  EXPECT_FALSE(areas_.netErr());
  EXPECT_EQ(one.recNo(), 11u);
  EXPECT_EQ(one.lockedRecords(), std::vector<std::uint32_t>{11});
}

}  // namespace
}  // namespace converte::storage
