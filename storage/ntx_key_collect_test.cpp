// Keys collected for building an index: keys made from stored field bytes
// equal the encoding of the field's value for every kind of stored text
// (blank, overflowed, written by other programs), indexes built from them
// hold exactly the encoded keys in key order, descending too, and the sort
// of collected keys follows key bytes, then record.

#include "storage/ntx_key_collect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "storage/ntx_index.h"
#include "storage/number_format.h"
#include "tests/support/storage_fixture.h"

namespace converte::storage {
namespace {

const Structure& keyStructure() {
  static const Structure structure = {
      {"CH", "C", 7, 0, {}},   {"NUM", "N", 10, 2, {}}, {"INT", "N", 5, 0, {}},
      {"BIG", "N", 20, 4, {}}, {"FLT", "F", 8, 3, {}},  {"DAT", "D", 8, 0, {}},
      {"LOG", "L", 1, 0, {}},
  };
  return structure;
}

// Text placed right or left in a field of that length.
std::string right(std::string_view text, int length) {
  return std::string(static_cast<std::size_t>(length) - text.size(), ' ') + std::string(text);
}
std::string left(std::string_view text, int length) {
  return std::string(text) + std::string(static_cast<std::size_t>(length) - text.size(), ' ');
}

// Stored texts of numeric fields, and whether keys must come from them
// directly: what a put writes (with at most 15 digits) and blanks must.
struct StoredText {
  std::string text;
  bool direct;
};

StoredText numericText(std::mt19937& random, const FieldSpec& f) {
  const int n = f.length;
  const unsigned pick = random() % 20;
  if (pick < 10) {  // written as a put writes it
    std::string text(static_cast<std::size_t>(n), ' ');
    const int places = (f.decimals > 0 ? n - f.decimals - 2 : n - 1) + f.decimals;
    const int digits = 1 + static_cast<int>(random() % static_cast<unsigned>(std::min(places, 15)));
    std::int64_t scaled = 0;
    for (int i = 0; i < digits; ++i)
      scaled = scaled * 10 + static_cast<std::int64_t>(random() % 10);
    if (random() % 2) scaled = -scaled;
    double real = static_cast<double>(scaled);
    for (int i = 0; i < f.decimals; ++i) real /= 10;
    const Number number = f.decimals > 0 ? Number::ofReal(real, n - f.decimals - 1, f.decimals)
                                         : Number::ofInteger(scaled, n);
    const bool fits = formatNumber(number, f.decimals, std::span<char>(text.data(), text.size()));
    return {text, fits && digits <= 15};
  }
  const std::vector<std::string> others =
      f.decimals > 0
          ? std::vector<std::string>{"-0.00",  "0.00",   "+1.50", "001.50", ".50",   "1.5",
                                     "1 2.50", "--1.00", "1e5",   "12a.45", "-0.50", "-.5"}
          : std::vector<std::string>{"-0",  "0",   "+15", "0015", "1 2",
                                     "--1", "1e3", "7.",  "-7",   "12a"};
  switch (pick) {
    case 10:
      return {std::string(static_cast<std::size_t>(n), ' '), true};
    case 11:
      return {std::string(static_cast<std::size_t>(n), '*'), false};
    case 12: {
      std::string text = others[random() % others.size()];
      return {left(text.substr(0, static_cast<std::size_t>(n)), n), false};
    }
    case 13:  // 16 and 17 digits, more than a floating-point value keeps exact
      if (n >= 19)
        return {right(random() % 2 ? "1234567890123.4567" : "-123456789012.3456", n), false};
      [[fallthrough]];
    default: {
      std::string text = others[random() % others.size()];
      return {right(text.substr(0, static_cast<std::size_t>(n)), n), false};
    }
  }
}

StoredText otherText(std::mt19937& random, const FieldSpec& f) {
  const int n = f.length;
  switch (f.type[0]) {
    case 'C': {
      std::string text(static_cast<std::size_t>(n), ' ');
      for (std::size_t i = random() % 8; i < text.size(); ++i)
        text[i] = static_cast<char>(random() % 3 == 0 ? 0xC0 + random() % 60 : 'A' + random() % 26);
      return {text, true};
    }
    case 'D': {
      const char* dates[] = {"20240131", "19991231", "        ", "20241301", "00000101",
                             "2024013 ", "abcdefgh", "20240132", "20240100", "20000229"};
      return {dates[random() % 10], true};
    }
    default: {
      const char logicals[] = "TtYyFfNn ?";
      return {std::string(1, logicals[random() % 10]), true};
    }
  }
}

class KeyCollectTest : public ::testing::Test, public testing::StorageFixture {
 protected:
  // Table KEYS of 600 records; direct_[r - 1][f] tells which texts must give
  // their keys directly.
  void SetUp() override {
    std::mt19937 random(515);
    std::vector<std::string> records;
    for (int r = 0; r < 600; ++r) {
      std::string record = " ";
      direct_.emplace_back();
      for (const FieldSpec& f : keyStructure()) {
        const bool numeric = f.type == "N" || f.type == "F";
        const StoredText text = numeric ? numericText(random, f) : otherText(random, f);
        record += text.text;
        direct_.back().push_back(text.direct);
      }
      records.push_back(record);
    }
    createRawTable("KEYS", keyStructure(), records);
  }

  // The encoded key of every record's field value, sorted by key (reversed
  // when descending), then record.
  std::vector<IndexEntry> encodedEntries(WorkArea& area, int field, bool descending) {
    area.goTo(area.recCount() + 1);
    const KeyShape shape = *keyShapeOf(area.getField(field));
    std::vector<IndexEntry> entries;
    for (std::uint32_t r = 1; r <= area.recCount(); ++r) {
      area.goTo(r);
      entries.push_back({encodeKey(area.getField(field), shape), r});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [descending](const IndexEntry& a, const IndexEntry& b) {
                       return descending ? a.key > b.key : a.key < b.key;
                     });
    return entries;
  }

  std::vector<IndexEntry> indexEntries(const std::string& name) {
    auto index =
        NtxIndex::open(env, path(name), platform::Access::ReadOnly, platform::ShareMode::Exclusive);
    EXPECT_TRUE(index);
    return index ? index->entries() : std::vector<IndexEntry>{};
  }

  std::vector<std::vector<bool>> direct_;
};

TEST_F(KeyCollectTest, StoredBytesGiveTheKeyOfTheFieldValue) {
  WorkArea& area = open("KEYS");
  for (int f = 1; f <= area.fieldCount(); ++f) {
    const Field& field = area.fields()[static_cast<std::size_t>(f - 1)];
    SCOPED_TRACE(field.name);
    area.goTo(area.recCount() + 1);
    const KeyShape shape = *keyShapeOf(area.getField(f));
    const auto stored = StoredFieldKey::of(field, shape);
    ASSERT_TRUE(stored.has_value());
    int direct = 0;
    for (std::uint32_t r = 1; r <= area.recCount(); ++r) {
      area.goTo(r);
      const std::string expected = encodeKey(area.getField(f), shape);
      std::string key(static_cast<std::size_t>(shape.length), '\0');
      const std::span<const char> record = area.recordBytes();
      const std::string text(record.data() + field.offset, static_cast<std::size_t>(field.length));
      if (stored->encode(record.data(), key.data())) {
        EXPECT_EQ(key, expected) << "record " << r << " text [" << text << "]";
        ++direct;
      } else {
        EXPECT_FALSE(direct_[r - 1][static_cast<std::size_t>(f - 1)])
            << "record " << r << " text [" << text << "]";
      }
    }
    EXPECT_GT(direct, static_cast<int>(area.recCount() / 3)) << "keys made from the bytes";
  }
}

TEST_F(KeyCollectTest, CreatedIndexesHoldTheEncodedKeysInOrder) {
  for (const FieldSpec& spec : keyStructure()) {
    SCOPED_TRACE(spec.name);
    WorkArea& area = open("KEYS");
    const int field = area.fieldPos(spec.name);
    const std::vector<IndexEntry> expected = encodedEntries(area, field, false);
    area.createIndex("I" + spec.name, spec.name);
    std::vector<std::uint32_t> walked;
    for (area.goTop(); !area.eof(); area.skip()) walked.push_back(area.recNo());
    areas.closeArea();
    std::vector<std::uint32_t> records;
    for (const IndexEntry& e : expected) records.push_back(e.record);
    EXPECT_EQ(walked, records);
    EXPECT_EQ(indexEntries("I" + spec.name + ".ntx"), expected);
  }
}

TEST_F(KeyCollectTest, RebuildOfADescendingIndexSortsKeysDownwards) {
  for (const char* name : {"NUM", "CH", "BIG"}) {
    SCOPED_TRACE(name);
    WorkArea& area = open("KEYS");
    const int field = area.fieldPos(name);
    const std::vector<IndexEntry> expected = encodedEntries(area, field, true);
    IndexDefinition definition;
    definition.expression = name;
    definition.keyLength = static_cast<int>(expected.front().key.size());
    definition.keyDecimals = area.fields()[static_cast<std::size_t>(field - 1)].decimals;
    definition.descending = true;
    NtxIndex::create(env, path("DESC.ntx"), definition, {}, false)->close();
    area.addOrders("DESC");
    area.rebuildOrders();
    areas.closeArea();
    EXPECT_EQ(indexEntries("DESC.ntx"), expected);
  }
}

TEST(KeyCollectorSort, FollowsKeyBytesThenRecordBothWays) {
  std::mt19937 random(77);
  for (std::size_t length : {1u, 5u, 8u, 9u, 16u, 30u}) {
    for (bool descending : {false, true}) {
      SCOPED_TRACE(std::to_string(length) + (descending ? " descending" : " ascending"));
      KeyCollector keys(length, 0);
      std::vector<IndexEntry> expected;
      for (std::uint32_t r = 1; r <= 3000; ++r) {
        std::string key(length, 'A');
        for (char& c : key)
          c = static_cast<char>(random() % 4 == 0 ? 0x80 + random() % 3 : 'A' + random() % 3);
        keys.add(key);
        expected.push_back({key, r});
      }
      std::stable_sort(expected.begin(), expected.end(),
                       [descending](const IndexEntry& a, const IndexEntry& b) {
                         return descending ? a.key > b.key : a.key < b.key;
                       });
      EXPECT_EQ(keys.sorted(descending), expected);
    }
  }
}

}  // namespace
}  // namespace converte::storage
