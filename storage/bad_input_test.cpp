// Damaged table files: every malformed header, descriptor area or memo
// reference gives the driver's error record naming the file, never a crash
// or a read out of bounds.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/system.h"
#include "storage/work_areas.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::storage {
namespace {

using testing::readFileBytes;
using testing::writeFileBytes;

void putU16(std::string& b, std::size_t at, unsigned v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}

// Gives the descriptor at offset at another type letter and length.
void retype(std::string& b, std::size_t at, char letter, int length) {
  b[at + 11] = letter;
  b[at + 16] = static_cast<char>(length);
}

class BadInputTest : public ::testing::Test {
 protected:
  BadInputTest() : fs_(platform::newSystemFileSystem()), env_(*fs_, clock_, handler_), areas_(env_) {
    env_.defaultDir = dir_.path();
  }

  // A good table of two records: NOME C(10), VALOR N(8,2), OBS M.
  std::string goodTable() {
    EXPECT_TRUE(areas_.createTable("GOOD", {{"NOME", "C", 10, 0, {}}, {"VALOR", "N", 8, 2, {}},
                                            {"OBS", "M", 10, 0, {}}}));
    EXPECT_TRUE(areas_.useArea(true, "", "GOOD"));
    for (int i = 0; i < 2; ++i) {
      EXPECT_TRUE(areas_.current().append());
      areas_.current().putField(1, FieldValue("ROW"));
      areas_.current().putField(3, FieldValue(std::string(700, 'm')));
    }
    areas_.closeAll();
    return readFileBytes(dir_.file("GOOD.dbf"));
  }

  testing::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_;
  testing::FixedClock clock_;
  testing::ScriptedHandler handler_;
  StorageEnv env_;
  WorkAreaList areas_;
};

TEST_F(BadInputTest, MalformedHeadersRaiseTheDriverErrorNamingTheFile) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    int genCode;
    int subCode;
  };
  const Case cases[] = {
      {"record length 0", [](std::string& b) { putU16(b, 10, 0); }, 32, 1012},
      {"header length beyond the file", [](std::string& b) { putU16(b, 8, 60000); }, 32, 1012},
      {"header length shorter than the header", [](std::string& b) { putU16(b, 8, 20); }, 32, 1012},
      {"header length cuts a descriptor", [](std::string& b) { putU16(b, 8, 32 + 32 + 10); }, 32, 1012},
      {"no descriptor at all", [](std::string& b) { b[32] = '\x0D'; }, 32, 1012},
      {"fields longer than the record", [](std::string& b) { putU16(b, 10, 12); }, 32, 1012},
      {"unknown type letter", [](std::string& b) { b[32 + 11] = 'X'; }, 32, 1012},
      {"memo field of length 7", [](std::string& b) { b[96 + 16] = 7; }, 32, 1012},
      {"B field of length 9", [](std::string& b) { retype(b, 64, 'B', 9); }, 32, 1012},
      {"8 field of length 4", [](std::string& b) { retype(b, 64, '8', 4); }, 32, 1012},
      {"O field of length 7", [](std::string& b) { retype(b, 64, 'O', 7); }, 32, 1012},
      {"T field of length 6", [](std::string& b) { retype(b, 64, 'T', 6); }, 32, 1012},
      {"@ field of length 4", [](std::string& b) { retype(b, 64, '@', 4); }, 32, 1012},
      {"+ field of length 8", [](std::string& b) { retype(b, 64, '+', 8); }, 32, 1012},
      {"0 field not named as a system field", [](std::string& b) { b[32 + 11] = '0'; }, 32, 1012},
      {"unknown version byte", [](std::string& b) { b[0] = '\x45'; }, 32, 1012},
      {"file shorter than a header", [](std::string& b) { b.resize(20); }, 23, 1010},
      {"empty file", [](std::string& b) { b.clear(); }, 23, 1010},
      {"descriptor area cut short", [](std::string& b) { b.resize(70); }, 32, 1012},
  };
  const std::string good = goodTable();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good;
    c.damage(bytes);
    writeFileBytes(dir_.file("BAD.dbf"), bytes);
    writeFileBytes(dir_.file("BAD.dbt"), readFileBytes(dir_.file("GOOD.dbt")));
    handler_.records.clear();
    EXPECT_THROW(areas_.useArea(true, "", "BAD"), errors::ErrorAbandoned);
    ASSERT_EQ(handler_.records.size(), 1u);
    EXPECT_EQ(handler_.records[0].genCode, c.genCode);
    EXPECT_EQ(handler_.records[0].subCode, c.subCode);
    EXPECT_EQ(handler_.records[0].subSystem, "DBFNTX");
    EXPECT_EQ(handler_.records[0].fileName, dir_.file("BAD.dbf"));
    EXPECT_FALSE(areas_.current().isUsed());
    EXPECT_EQ(areas_.areaOf("BAD"), 0);
  }
}

TEST_F(BadInputTest, ForeignDescriptorsOpenWithTheLengthTheirLetterAllows) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> change;
    int field;
    StructureRow row;
  };
  const Case cases[] = {
      {"I of length 5 is taken as 4", [](std::string& b) { retype(b, 64, 'I', 5); }, 2,
       {"VALOR", 'I', 4, 2, 0}},
      {"I of length 3 is kept", [](std::string& b) { retype(b, 64, 'I', 3); }, 2,
       {"VALOR", 'I', 3, 2, 0}},
      {"I of length 8 is kept", [](std::string& b) { retype(b, 64, 'I', 8); }, 2,
       {"VALOR", 'I', 8, 2, 0}},
      {"D of length 3 is kept", [](std::string& b) { retype(b, 64, 'D', 3); }, 2,
       {"VALOR", 'D', 3, 0, 0}},
      {"D of length 4 is kept", [](std::string& b) { retype(b, 64, 'D', 4); }, 2,
       {"VALOR", 'D', 4, 0, 0}},
      {"D of length 7 is taken as 8", [](std::string& b) { retype(b, 64, 'D', 7); }, 2,
       {"VALOR", 'D', 8, 0, 0}},
      {"L of length 3 is taken as 1", [](std::string& b) { retype(b, 64, 'L', 3); }, 2,
       {"VALOR", 'L', 1, 0, 0}},
      {"B of length 8", [](std::string& b) { retype(b, 64, 'B', 8); }, 2, {"VALOR", 'B', 8, 2, 0}},
      {"8 of length 8", [](std::string& b) { retype(b, 64, '8', 8); }, 2, {"VALOR", '8', 8, 2, 0}},
      {"O of length 8", [](std::string& b) { retype(b, 64, 'O', 8); }, 2, {"VALOR", 'O', 8, 2, 0}},
      {"T of length 4", [](std::string& b) { retype(b, 64, 'T', 4); }, 2, {"VALOR", 'T', 4, 0, 0}},
      {"T of length 8", [](std::string& b) { retype(b, 64, 'T', 8); }, 2, {"VALOR", 'T', 8, 0, 0}},
      {"= of length 8", [](std::string& b) { retype(b, 64, '=', 8); }, 2, {"VALOR", '=', 8, 0, 0}},
      {"0 named _NullFlags",
       [](std::string& b) {
         b.replace(32, 10, "_NullFlags");
         b[32 + 11] = '0';
       },
       1, {"_NullFlags", '0', 10, 0, 0}},
      {"B of length 10 in a table of version 0x8B is a memo",
       [](std::string& b) {
         b[0] = '\x8B';
         b[96 + 11] = 'B';
       },
       3, {"OBS", 'B', 10, 0, 0}},
  };
  const std::string good = goodTable();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good;
    c.change(bytes);
    writeFileBytes(dir_.file("FOREIGN.dbf"), bytes);
    writeFileBytes(dir_.file("FOREIGN.dbt"), readFileBytes(dir_.file("GOOD.dbt")));
    handler_.records.clear();
    ASSERT_TRUE(areas_.useArea(true, "", "FOREIGN"));
    EXPECT_TRUE(handler_.records.empty());
    EXPECT_EQ(areas_.current().structure().at(static_cast<std::size_t>(c.field - 1)), c.row);
    if (c.row.type == 'B' && c.row.length == 10) {
      EXPECT_EQ(areas_.current().getField(3), FieldValue(std::string(700, 'm')));
    }
    areas_.closeAll();
  }
}

TEST_F(BadInputTest, HeaderErrorsOfferRetry) {
  writeFileBytes(dir_.file("SHORT.dbf"), "abc");
  handler_.script({errors::Answer::Retry});
  EXPECT_THROW(areas_.useArea(true, "", "SHORT"), errors::ErrorAbandoned);
  ASSERT_EQ(handler_.records.size(), 2u);
  EXPECT_TRUE(handler_.records[0].canRetry);
  EXPECT_FALSE(handler_.records[0].canDefault);
}

TEST_F(BadInputTest, RecordCountInTheHeaderIsNotTrusted) {
  std::string bytes = goodTable();
  for (int i = 4; i < 8; ++i) bytes[static_cast<std::size_t>(i)] = '\xFF';
  writeFileBytes(dir_.file("GOOD.dbf"), bytes);
  ASSERT_TRUE(areas_.useArea(true, "", "GOOD"));
  EXPECT_EQ(areas_.current().recCount(), 2u);
}

TEST_F(BadInputTest, MalformedMemoReferencesRaiseCorruptionAndDefaultReadsEmpty) {
  struct Case {
    const char* reference;
    bool corrupt;
  };
  const Case cases[] = {{"    abc   ", true}, {"    12    ", true}, {"      1 2 ", true},
                        {"        -1", true}, {"9999999999", true}, {"      4000", false},
                        {"          ", false}};
  const std::string good = goodTable();
  const std::size_t memoAt = 32 + 32 * 3 + 2 + 1 + 10 + 8;  // first record, OBS field
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reference);
    std::string bytes = good;
    bytes.replace(memoAt, 10, c.reference);
    writeFileBytes(dir_.file("REF.dbf"), bytes);
    writeFileBytes(dir_.file("REF.dbt"), readFileBytes(dir_.file("GOOD.dbt")));
    handler_.records.clear();
    handler_.setOtherwise(errors::Answer::Default);
    ASSERT_TRUE(areas_.useArea(true, "", "REF"));
    EXPECT_EQ(areas_.current().getField(3), FieldValue(""));
    ASSERT_EQ(handler_.records.size(), c.corrupt ? 1u : 0u);
    if (c.corrupt) {
      EXPECT_EQ(handler_.records[0].genCode, 32);
      EXPECT_EQ(handler_.records[0].subCode, 1012);
      EXPECT_EQ(handler_.records[0].fileName, dir_.file("REF.dbf"));
      EXPECT_TRUE(handler_.records[0].canDefault);
    }
    areas_.closeAll();
  }
}

TEST_F(BadInputTest, ATableCutAtAnyLengthOpensOrRaisesButNeverMisreads) {
  const std::string good = goodTable();
  const std::string memo = readFileBytes(dir_.file("GOOD.dbt"));
  handler_.setOtherwise(errors::Answer::Abandon);
  for (std::size_t length = good.size(); length-- > 0;) {
    SCOPED_TRACE(length);
    writeFileBytes(dir_.file("CUT.dbf"), good.substr(0, length));
    writeFileBytes(dir_.file("CUT.dbt"), memo.substr(0, length % (memo.size() + 1)));
    try {
      ASSERT_TRUE(areas_.useArea(true, "", "CUT"));
      WorkArea& area = areas_.current();
      std::uint32_t whole = length >= 130 ? static_cast<std::uint32_t>((length - 130) / 29) : 0;
      EXPECT_EQ(area.recCount(), whole);
      for (area.goTop(); !area.eof(); area.skip()) {
        EXPECT_EQ(area.getField(1), FieldValue("ROW       "));
        FieldValue text = area.getField(3);
        EXPECT_LE(text.string().size(), 700u);
      }
      areas_.closeAll();
    } catch (const errors::ErrorAbandoned& abandoned) {
      int gen = abandoned.record().genCode;
      EXPECT_TRUE(gen == 23 || gen == 32) << abandoned.record();
      EXPECT_FALSE(areas_.current().isUsed());
    }
  }
}

}  // namespace
}  // namespace converte::storage
