// Shared use against a real second process: record and file locks exclude
// each other across processes, appends in alternation get consecutive
// records, share modes conflict with code 32, and keys inserted by one
// process are found by the other's seek.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/child_process.h"
#include "platform/system.h"
#include "storage/work_areas.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::storage {
namespace {

using errors::Answer;

class SharingTest : public ::testing::Test {
 protected:
  SharingTest()
      : fs_(platform::newSystemFileSystem()), handler_(Answer::Default),
        env_(*fs_, clock_, handler_), areas_(env_) {
    env_.defaultDir = dir_.path();
  }

  void SetUp() override {
    ASSERT_TRUE(areas_.createTable("T", {{"NOME", "C", 10, 0, {}}}));
    ASSERT_TRUE(areas_.useArea(true, "", "T"));
    for (int i = 1; i <= 10; ++i) {
      area().append();
      area().putField(1, FieldValue("R" + std::to_string(i)));
    }
    areas_.closeArea();
    auto peer = platform::startChildProcess(CONVERTE_TABLE_PEER, {dir_.path()});
    ASSERT_TRUE(peer) << peer.error().osCode;
    peer_ = std::move(*peer);
  }

  void TearDown() override {
    areas_.closeAll();
    if (peer_) {
      EXPECT_EQ(*peer_->wait(), 0);
    }
  }

  // One command to the other process and its answer.
  std::string ask(const std::string& command) {
    EXPECT_TRUE(peer_->writeLine(command));
    auto reply = peer_->readLine();
    return reply ? *reply : "(no answer)";
  }

  void openShared() { ASSERT_TRUE(areas_.useArea(true, "", "T", "", true)); }
  WorkArea& area() { return areas_.current(); }

  testing::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_;
  testing::FixedClock clock_;
  testing::ScriptedHandler handler_;
  StorageEnv env_;
  WorkAreaList areas_;
  std::unique_ptr<platform::ChildProcess> peer_;
};

TEST_F(SharingTest, RecordLockExcludesTheSameRecordAndTheFileLockOnly) {
  openShared();
  area().goTo(7);
  ASSERT_TRUE(area().lockRecord());
  ASSERT_EQ(ask("use T shared"), "ok");
  ask("goto 7");
  EXPECT_EQ(ask("lock"), "false");
  ask("goto 8");
  EXPECT_EQ(ask("lock"), "true");
  EXPECT_EQ(ask("lockfile"), "false");
  EXPECT_EQ(ask("locked"), "ok");  // a file lock request gives up the record locks first

  area().unlock();
  EXPECT_EQ(ask("lockfile"), "true");
  area().goTo(3);
  EXPECT_FALSE(area().lockRecord());
  EXPECT_FALSE(area().lockFile());
  ask("unlock");
  EXPECT_TRUE(area().lockRecord());
}

TEST_F(SharingTest, AppendsInAlternationGetConsecutiveRecordsEachLockedByItsAppender) {
  openShared();
  ASSERT_EQ(ask("use T shared"), "ok");
  for (int i = 1; i <= 5; ++i) {
    ASSERT_TRUE(area().append());
    std::uint32_t mine = area().recNo();
    EXPECT_EQ(mine, static_cast<std::uint32_t>(10 + 2 * i - 1));
    area().putField(1, FieldValue("A" + std::to_string(i)));
    area().commit();
    EXPECT_EQ(area().lockedRecords(), std::vector<std::uint32_t>{mine});

    EXPECT_EQ(ask("append"), "ok " + std::to_string(mine + 1));
    EXPECT_EQ(ask("put NOME B" + std::to_string(i)), "ok");
    EXPECT_EQ(ask("commit"), "ok");
    EXPECT_EQ(ask("locked"), "ok " + std::to_string(mine + 1));
  }
  ask("close");
  areas_.closeArea();

  ASSERT_TRUE(areas_.useArea(true, "", "T"));
  ASSERT_EQ(area().recCount(), 20u);
  for (int i = 1; i <= 5; ++i) {
    area().goTo(static_cast<std::uint32_t>(9 + 2 * i));
    EXPECT_EQ(area().getField(1).string(), "A" + std::to_string(i) + std::string(8, ' '));
    area().skip();
    EXPECT_EQ(area().getField(1).string(), "B" + std::to_string(i) + std::string(8, ' '));
  }
}

TEST_F(SharingTest, ExclusiveAndSharedOpensConflictWithSharingViolation) {
  openShared();
  EXPECT_EQ(ask("use T exclusive"), "error 21 1001 32");
  EXPECT_EQ(ask("use T shared"), "ok");
  areas_.closeArea();
  ask("close");

  EXPECT_EQ(ask("use T exclusive"), "ok");
  handler_.records.clear();
  EXPECT_FALSE(areas_.useArea(true, "", "T", "", true));
  ASSERT_EQ(handler_.records.size(), 1u);
  EXPECT_EQ(handler_.records[0].osCode, 32);
  EXPECT_EQ(handler_.records[0].subCode, 1001);
}

TEST_F(SharingTest, KeyInsertedByOneProcessIsFoundBySeekInTheOther) {
  ASSERT_TRUE(areas_.useArea(true, "", "T"));
  area().createIndex("T", "NOME");
  areas_.closeArea();

  openShared();
  area().addOrders("T");
  ASSERT_EQ(ask("use T shared"), "ok");
  ASSERT_EQ(ask("order T"), "ok");

  ASSERT_TRUE(area().append());
  area().putField(1, FieldValue("ZEBRA"));
  area().commit();
  area().unlock();
  EXPECT_EQ(ask("seek ZEBRA"), "true 11");
  EXPECT_EQ(ask("seek R7"), "true 7");

  ASSERT_EQ(ask("append"), "ok 12");
  ASSERT_EQ(ask("put NOME AARDVARK"), "ok");
  ASSERT_EQ(ask("commit"), "ok");
  ASSERT_EQ(ask("goto 3"), "ok");  // moving on commits and leaves the record
  ASSERT_EQ(ask("lock"), "true");
  ASSERT_EQ(ask("put NOME R3CHANGED"), "ok");
  ASSERT_EQ(ask("commit"), "ok");
  ASSERT_EQ(ask("unlock"), "ok");

  EXPECT_TRUE(area().seek(FieldValue("AARDVARK")));
  EXPECT_EQ(area().recNo(), 12u);
  EXPECT_TRUE(area().seek(FieldValue("R3CHANGED")));
  EXPECT_EQ(area().recNo(), 3u);
  EXPECT_FALSE(area().seek(FieldValue("R3 ")));
  area().goTop();
  EXPECT_EQ(area().recNo(), 12u);  // AARDVARK sorts first
}

}  // namespace
}  // namespace converte::storage
