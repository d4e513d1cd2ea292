// Orders of a work area: index creation and its key rules, navigation and
// seek in key order with the deleted filter, key maintenance on commit and
// append, adding, choosing, clearing and rebuilding orders.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "storage/ntx_index.h"
#include "storage/work_areas.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/scripted_handler.h"
#include "tests/support/temp_dir.h"

namespace converte::storage {
namespace {

using errors::Answer;

class OrdersTest : public ::testing::Test {
 protected:
  OrdersTest() : fs_(platform::newSystemFileSystem()), env_(*fs_, clock_, handler_), areas_(env_) {
    env_.defaultDir = dir_.path();
  }

  // Table T: CODE C(5), VALUE N(5), one record per code given.
  void createTable(const std::vector<std::string>& codes, const std::vector<int>& values = {}) {
    ASSERT_TRUE(areas_.createTable("T", {{"CODE", "C", 5, 0, {}}, {"VALUE", "N", 5, 0, {}}}));
    ASSERT_TRUE(areas_.useArea(true, "", "T"));
    for (std::size_t i = 0; i < codes.size(); ++i) {
      area().append();
      area().putField(1, FieldValue(codes[i]));
      if (i < values.size()) area().putField(2, FieldValue(Number::ofInteger(values[i], 5)));
    }
    area().commit();
  }

  std::string code() { return area().getField(1).string(); }

  // Record numbers from the top to the end in the controlling order.
  std::vector<std::uint32_t> walkForward() {
    std::vector<std::uint32_t> records;
    for (area().goTop(); !area().eof(); area().skip()) records.push_back(area().recNo());
    return records;
  }
  std::vector<std::uint32_t> walkBackward() {
    std::vector<std::uint32_t> records;
    for (area().goBottom(); !area().bof(); area().skip(-1)) {
      records.push_back(area().recNo());
      if (records.size() > 100000) break;
    }
    return records;
  }

  // Record numbers sorted by (code, record): what the order must give.
  std::vector<std::uint32_t> expectedOrder() {
    std::vector<std::pair<std::string, std::uint32_t>> rows;
    std::uint32_t count = area().recCount();
    for (std::uint32_t r = 1; r <= count; ++r) {
      area().goTo(r);
      if (env_.setDeleted && area().deleted()) continue;
      rows.emplace_back(code(), r);
    }
    std::sort(rows.begin(), rows.end());
    std::vector<std::uint32_t> records;
    for (auto& row : rows) records.push_back(row.second);
    return records;
  }

  WorkArea& area() { return areas_.current(); }

  testing::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_;
  testing::FixedClock clock_;
  testing::ScriptedHandler handler_;
  StorageEnv env_;
  WorkAreaList areas_;
};

TEST_F(OrdersTest, CreateIndexOrdersRecordsByKeyThenRecordNumber) {
  std::vector<std::string> codes;
  std::mt19937 random(7);
  for (int i = 0; i < 1000; ++i) codes.push_back("K" + std::to_string(random() % 300));
  createTable(codes);
  area().goTo(500);
  area().createIndex("BYCODE", "CODE");
  EXPECT_EQ(area().order(), 1);
  EXPECT_EQ(area().orderCount(), 1);

  auto forward = walkForward();
  EXPECT_EQ(forward, expectedOrder());
  auto backward = walkBackward();
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(backward, forward);

  area().goTop();
  EXPECT_EQ(area().recNo(), forward.front());  // created indexes leave the area at the top
  area().skip(-1);
  EXPECT_TRUE(area().bof());
  EXPECT_EQ(area().recNo(), forward.front());
  area().goBottom();
  area().skip();
  EXPECT_TRUE(area().eof());
  area().skip(-1);
  EXPECT_EQ(area().recNo(), forward.back());

  std::string header = testing::readFileBytes(dir_.file("BYCODE.ntx"));
  ASSERT_GE(header.size(), 1024u);
  EXPECT_EQ(header[12], 13);  // item size
  EXPECT_EQ(header[14], 5);   // key length
  EXPECT_EQ(header[18], 66);  // keys per page
  EXPECT_EQ(std::string(header.data() + 22, 5), std::string("CODE\0", 5));
}

TEST_F(OrdersTest, SeekFindsExactPartialAndLastKeys) {
  createTable({"BETA", "ALFA", "BETA", "GAMA", "BETA", "DELTA"});
  area().createIndex("T", "CODE");

  EXPECT_TRUE(area().seek(FieldValue("BETA")));
  EXPECT_TRUE(area().found());
  EXPECT_EQ(area().recNo(), 1u);  // lowest record among equal keys
  EXPECT_TRUE(area().seek(FieldValue("BETA"), std::nullopt, true));
  EXPECT_EQ(area().recNo(), 5u);
  EXPECT_TRUE(area().seek(FieldValue("DE")));
  EXPECT_EQ(area().recNo(), 6u);
  EXPECT_TRUE(area().seek(FieldValue("G"), std::nullopt, true));
  EXPECT_EQ(area().recNo(), 4u);

  EXPECT_FALSE(area().seek(FieldValue("CAPA")));
  EXPECT_FALSE(area().found());
  EXPECT_TRUE(area().eof());
  EXPECT_EQ(area().recNo(), 7u);

  EXPECT_FALSE(area().seek(FieldValue("CAPA"), true));  // soft: the next greater key
  EXPECT_FALSE(area().eof());
  EXPECT_EQ(area().recNo(), 6u);
  EXPECT_FALSE(area().seek(FieldValue("ZETA"), true));
  EXPECT_TRUE(area().eof());

  env_.softSeek = true;
  EXPECT_FALSE(area().seek(FieldValue("BETAS")));
  EXPECT_EQ(area().recNo(), 6u);
}

TEST_F(OrdersTest, SeekAndNavigationSkipDeletedRecordsInTheirDirection) {
  createTable({"A", "B", "B", "B", "C"});
  area().goTo(2);
  area().deleteRecord();
  area().goTo(4);
  area().deleteRecord();
  area().goTo(1);
  area().deleteRecord();
  area().createIndex("T", "CODE");
  env_.setDeleted = true;

  EXPECT_TRUE(area().seek(FieldValue("B")));
  EXPECT_EQ(area().recNo(), 3u);
  EXPECT_TRUE(area().seek(FieldValue("B"), std::nullopt, true));
  EXPECT_EQ(area().recNo(), 3u);
  EXPECT_FALSE(area().seek(FieldValue("A")));  // its only record is deleted
  EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{3, 5}));
  EXPECT_EQ(walkBackward(), (std::vector<std::uint32_t>{5, 3}));

  env_.setDeleted = false;  // deleted records keep their keys
  EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));
}

TEST_F(OrdersTest, NumericKeysSortNegativesFirst) {
  createTable({"A", "B", "C", "D", "E"}, {5, -5, 0, -9, 12});
  area().createIndex("V", "VALUE");
  EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{4, 2, 3, 1, 5}));
  EXPECT_TRUE(area().seek(FieldValue(Number::ofInteger(-5))));
  EXPECT_EQ(area().recNo(), 2u);
  EXPECT_FALSE(area().seek(FieldValue(Number::ofInteger(-6))));
}

TEST_F(OrdersTest, CommittedChangesAndAppendsKeepTheIndexExact) {
  createTable({"M", "C", "X"});
  area().createIndex("T", "CODE");
  std::mt19937 random(11);
  for (int round = 0; round < 400; ++round) {
    if (random() % 3 == 0) {
      area().append();
    } else {
      area().goTo(1 + random() % area().recCount());
    }
    area().putField(1, FieldValue(std::string(1, static_cast<char>('A' + random() % 26)) +
                                  std::to_string(random() % 50)));
    if (round % 7 == 0) area().commit();
  }
  area().commit();
  EXPECT_EQ(walkForward(), expectedOrder());
  area().goTo(2);
  std::string second = code();
  area().putField(1, FieldValue("ZZZZZ"));
  area().skip(0);
  EXPECT_TRUE(area().seek(FieldValue("ZZZZZ")));
  EXPECT_EQ(area().recNo(), 2u);
  // the old key is gone unless another record has it
  if (area().seek(FieldValue(second))) {
    EXPECT_NE(area().recNo(), 2u);
  }

  areas_.closeArea();  // the index file holds what the area saw
  ASSERT_TRUE(areas_.useArea(true, "", "T"));
  area().addOrders("T");
  EXPECT_EQ(walkForward(), expectedOrder());
}

TEST_F(OrdersTest, EmptyTableGivesAnEmptyIndex) {
  createTable({});
  area().createIndex("T", "CODE");
  area().goTop();
  EXPECT_TRUE(area().eof());
  EXPECT_FALSE(area().seek(FieldValue("A")));
  area().append();
  area().putField(1, FieldValue("A"));
  EXPECT_TRUE(area().seek(FieldValue("A")));
  EXPECT_EQ(area().recNo(), 1u);
}

TEST_F(OrdersTest, AddSetAndClearOrders) {
  createTable({"B", "A", "C"}, {1, 3, 2});
  area().createIndex("BYCODE", "CODE");
  area().createIndex("BYVALUE", "T->VALUE");
  EXPECT_EQ(area().orderCount(), 1);  // a new index replaces the others
  areas_.closeArea();

  ASSERT_TRUE(areas_.useArea(true, "", "T"));
  area().addOrders("bycode");
  area().addOrders("BYVALUE.NTX");
  area().addOrders("BYCODE");  // already open
  EXPECT_EQ(area().orderCount(), 2);
  EXPECT_EQ(area().order(), 1);
  EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{2, 1, 3}));
  area().setOrder("byvalue");
  EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{1, 3, 2}));
  area().setOrder("0");
  EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{1, 2, 3}));
  area().setOrder(1);
  EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{2, 1, 3}));

  area().clearOrders();
  EXPECT_EQ(area().orderCount(), 0);
  handler_.records.clear();
  handler_.setOtherwise(Answer::Default);
  EXPECT_FALSE(area().seek(FieldValue("A")));
  ASSERT_EQ(handler_.records.size(), 1u);
  EXPECT_EQ(handler_.records[0].genCode, 36);
  EXPECT_EQ(handler_.records[0].description, "Workarea not indexed");
  EXPECT_EQ(handler_.records[0].subCode, 1201);
  EXPECT_TRUE(handler_.records[0].canDefault);
}

TEST_F(OrdersTest, KeyErrorsAndUnacceptableIndexFiles) {
  createTable({"A"});
  struct Case {
    std::function<FieldValue()> key;
    int genCode;
  } cases[] = {{[] { return FieldValue(); }, 33}, {[] { return FieldValue(""); }, 34}};
  for (const auto& c : cases) {
    handler_.records.clear();
    EXPECT_THROW(area().createIndex("BAD", "KEY", c.key), errors::ErrorAbandoned);
    ASSERT_EQ(handler_.records.size(), 1u);
    EXPECT_EQ(handler_.records[0].genCode, c.genCode);
    EXPECT_EQ(handler_.records[0].subCode, 1026);
  }
  EXPECT_EQ(area().orderCount(), 0);

  // an index whose stored expression is beyond a field list is refused
  area().createIndex("UPPER", "UPPER(CODE)", [this] { return area().getField(1); });
  area().clearOrders();
  handler_.records.clear();
  EXPECT_THROW(area().addOrders("UPPER"), errors::ErrorAbandoned);
  ASSERT_EQ(handler_.records.size(), 1u);
  EXPECT_EQ(handler_.records[0].genCode, 32);
  EXPECT_EQ(handler_.records[0].subCode, 1012);
  EXPECT_EQ(area().orderCount(), 0);

  handler_.setOtherwise(Answer::Default);
  handler_.records.clear();
  area().addOrders("MISSING");
  ASSERT_EQ(handler_.records.size(), 1u);
  EXPECT_EQ(handler_.records[0].genCode, 21);
  EXPECT_EQ(handler_.records[0].subCode, 1003);
  EXPECT_EQ(area().orderCount(), 0);
}

TEST_F(OrdersTest, AddOrdersGoesToTheTopOnlyWhenNoOrderWasControlling) {
  // Records 1 to 4: B/4, A/3, C/1, D/2. By code: 2 1 3 4; by value: 3 4 2 1.
  createTable({"B", "A", "C", "D"}, {4, 3, 1, 2});
  area().createIndex("BYCODE", "CODE");
  area().createIndex("BYVALUE", "VALUE");
  struct Case {
    const char* what;
    std::function<void()> before;  // leaves the area where addOrders starts
    std::uint32_t recNo;
    bool eof;
    int order;
    std::vector<std::uint32_t> rest;  // records reached by skipping on
  };
  const Case cases[] = {
      {"no order open", [this] { area().goTo(4); }, 2, false, 1, {1, 3, 4}},
      {"orders open, none controlling",
       [this] {
         area().addOrders("BYVALUE");
         area().setOrder(0);
         area().goTo(4);
       },
       2, false, 2, {1, 3, 4}},
      {"a controlling order",
       [this] {
         area().addOrders("BYVALUE");
         area().goTo(4);
       },
       4, false, 1, {2, 1}},
      {"a controlling order, at the end",
       [this] {
         area().addOrders("BYVALUE");
         area().goBottom();
         area().skip();
       },
       5, true, 1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    area().clearOrders();
    c.before();
    area().addOrders("BYCODE");
    EXPECT_EQ(area().recNo(), c.recNo);
    EXPECT_EQ(area().eof(), c.eof);
    EXPECT_FALSE(area().bof());
    EXPECT_EQ(area().order(), c.order);
    if (!c.eof) {
      EXPECT_EQ(code(), std::string(1, "BACD"[c.recNo - 1]) + "    ");  // read again
    }
    std::vector<std::uint32_t> rest;
    for (area().skip(); !area().eof(); area().skip()) rest.push_back(area().recNo());
    EXPECT_EQ(rest, c.rest);
  }
}

// Keys are kept for every record, so an index limited by a for-condition,
// or one whose key cannot be evaluated, is refused as corrupt.
TEST_F(OrdersTest, AddOrdersRefusesConditionalAndUnevaluableIndexes) {
  createTable({"B", "A", "C"});
  auto putFlags = [](std::string& b, unsigned flags) {
    b[0] = static_cast<char>(flags & 0xFF);
    b[1] = static_cast<char>(flags >> 8);
  };
  struct Case {
    const char* what;
    std::function<void(std::string&)> change;
    bool refused;
  };
  const Case cases[] = {
      {"as created", [](std::string&) {}, false},
      {"old form of the flags", [&](std::string& b) { putFlags(b, 0x0003); }, false},
      {"condition flag", [&](std::string& b) { putFlags(b, 0x0007); }, true},
      {"condition text", [](std::string& b) { b.replace(282, 9, "VALUE > 0"); }, true},
      {"condition flag and text",
       [&](std::string& b) {
         putFlags(b, 0x0007);
         b.replace(282, 9, "VALUE > 0");
       },
       true},
      {"character and number joined",
       [](std::string& b) { b.replace(22, 11, std::string("CODE+VALUE\0", 11)); }, true},
      {"a field the table lacks",
       [](std::string& b) { b.replace(22, 5, std::string("NAME\0", 5)); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    area().createIndex("COND", "CODE");
    area().clearOrders();
    std::string bytes = testing::readFileBytes(dir_.file("COND.ntx"));
    c.change(bytes);
    testing::writeFileBytes(dir_.file("COND.ntx"), bytes);
    handler_.records.clear();
    area().goTo(3);
    if (!c.refused) {
      area().addOrders("COND");
      EXPECT_TRUE(handler_.records.empty());
      EXPECT_EQ(area().orderCount(), 1);
      EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{2, 1, 3}));
      area().clearOrders();
      continue;
    }
    EXPECT_THROW(area().addOrders("COND"), errors::ErrorAbandoned);
    ASSERT_EQ(handler_.records.size(), 1u);
    EXPECT_EQ(handler_.records[0].genCode, 32);
    EXPECT_EQ(handler_.records[0].subCode, 1012);
    EXPECT_EQ(handler_.records[0].description, "Corruption detected");
    EXPECT_EQ(handler_.records[0].fileName, dir_.file("COND.ntx"));
    EXPECT_EQ(area().orderCount(), 0);
    EXPECT_EQ(area().recNo(), 3u);
    EXPECT_TRUE(fs_->erase(dir_.file("COND.ntx")).ok()) << "the refused file is closed";
  }
}

TEST_F(OrdersTest, RebuildNeedsExclusiveWritableTable) {
  createTable({"B", "A"});
  area().createIndex("T", "CODE");
  area().rebuildOrders();
  EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{2, 1}));
  areas_.closeArea();

  for (auto [shared, readOnly, subCode] : {std::tuple{true, false, 1023}, {false, true, 1025}}) {
    ASSERT_TRUE(areas_.useArea(true, "", "T", "", shared, readOnly));
    area().addOrders("T");
    handler_.records.clear();
    EXPECT_THROW(area().rebuildOrders(), errors::ErrorAbandoned);
    ASSERT_EQ(handler_.records.size(), 1u);
    EXPECT_EQ(handler_.records[0].subCode, subCode);
    areas_.closeArea();
  }
}

TEST_F(OrdersTest, PackAndZapRebuildTheOpenIndexes) {
  createTable({"C", "A", "B", "A"});
  area().createIndex("T", "CODE");
  area().goTo(2);
  area().deleteRecord();
  area().pack();  // C, B, A remain as records 1 to 3
  EXPECT_EQ(walkForward(), (std::vector<std::uint32_t>{3, 2, 1}));
  EXPECT_TRUE(area().seek(FieldValue("A")));
  EXPECT_EQ(area().recNo(), 3u);
  EXPECT_TRUE(area().seek(FieldValue("C")));
  EXPECT_EQ(area().recNo(), 1u);

  area().zap();
  area().goTop();
  EXPECT_TRUE(area().eof());
  EXPECT_FALSE(area().seek(FieldValue("A")));
}

}  // namespace
}  // namespace converte::storage
