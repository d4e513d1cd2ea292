// Tables written by the storage layer, read by independent DBF readers:
// every field of every record must come out as the layer meant it, the
// deletion flags included.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/interop/interop_fixture.h"

namespace converte::testing {
namespace {

using canonical::Record;
using storage::Date;
using storage::FieldValue;
using storage::Number;

const FieldValue kBlank{};

FieldValue integer(std::int64_t value) { return Number::ofInteger(value); }
FieldValue real(double value) { return Number::ofReal(value, 12, 3); }

const storage::Structure kAllTypes = {
    {"ID", "N", 5, 0, {}},     {"NOME", "C", 20, 0, {}},  {"LONGO", "C", 300, 0, {}}, {"VALOR", "N", 12, 2, {}},
    {"SALDO", "N", 10, 3, {}}, {"QTD", "N", 7, 0, {}},    {"DATA", "D", 8, 0, {}},    {"ATIVO", "L", 1, 0, {}},
    {"OBS", "M", 10, 0, {}},
};

// Negatives, decimals, rounding, blanks, empty dates, every logical state,
// texts with bytes above 0x7E (the suite's single-byte code pages), a text
// cut at the field length, a character field longer than 255 bytes.
const std::vector<Record> kAllTypesRecords = {
    {false, {integer(1), "ALFA", std::string(300, 'L'), real(1234.56), real(-0.5), integer(-42),
             Date{2024, 1, 31}, true, "short memo"}},
    {false, {integer(2), "A\xc7\xc3O \x87\xa6", "tail kept " + std::string(280, '.') + "END",
             real(-99999.99), real(0.001), integer(0), Date{}, false, ""}},
    {false, {integer(3), kBlank, kBlank, kBlank, kBlank, kBlank, kBlank, kBlank, kBlank}},
    {false, {integer(4), "cut at twenty: 0123456789", "x", real(999999999.99), real(-12345.678),
             integer(1234567), Date{1900, 1, 1}, kBlank, "line 1\r\nline 2\r\n\ttabbed\\"}},
    {false, {integer(5), "  lead", kBlank, integer(7), real(1234.5678), integer(-999999),
             Date{2000, 2, 29}, true, kBlank}},
    {false, {integer(-9999), "trailing   ", kBlank, real(0.0), real(-0.001), kBlank,
             Date{1999, 12, 31}, false, "last"}},
};

class LayerWrittenTest : public ::testing::TestWithParam<DbfReaderPeer>, public InteropFixture {};

TEST_P(LayerWrittenTest, EveryFieldTypeReadsBackValueForValue) {
  writeWithLayer("tipos.dbf", kAllTypes, kAllTypesRecords);
  const std::vector<std::string> expected =
      canonical::dump(canonical::rowsOf(kAllTypes), kAllTypesRecords);
  ASSERT_EQ(layerDump("tipos.dbf"), expected);
  EXPECT_EQ(peerDump(GetParam(), "tipos.dbf"), expected);
}

TEST_P(LayerWrittenTest, DeletedRecordsAreFlagged) {
  const storage::Structure structure = {{"ID", "N", 4, 0, {}}, {"OBS", "M", 10, 0, {}}};
  std::vector<Record> records;
  for (int id = 1; id <= 7; ++id)
    records.push_back({id == 1 || id == 4 || id == 7, {integer(id), "memo " + std::to_string(id)}});
  writeWithLayer("apagados.dbf", structure, records);
  const std::vector<std::string> expected = canonical::dump(canonical::rowsOf(structure), records);
  ASSERT_EQ(layerDump("apagados.dbf"), expected);
  EXPECT_EQ(peerDump(GetParam(), "apagados.dbf"), expected);
}

// Values that differ from record to record in every field, memos of
// several sizes on some records.
Record manyRecordsRow(int id) {
  const FieldValue memo = id % 7 == 0 ? FieldValue(std::string(static_cast<std::size_t>(id % 1100),
                                                               static_cast<char>('a' + id % 26)))
                                      : kBlank;
  return {id % 97 == 0,
          {integer(id), "NOME " + std::to_string(id * 7919 % 100000),
           real((id % 2 ? -1 : 1) * (id * 12.34)), Date{1990 + id % 35, 1 + id % 12, 1 + id % 28},
           id % 3 == 0 ? kBlank : FieldValue(id % 3 == 1), memo}};
}

TEST_P(LayerWrittenTest, ATableWithManyRecordsReadsBackWhole) {
  const storage::Structure structure = {{"ID", "N", 6, 0, {}}, {"NOME", "C", 15, 0, {}},
                                        {"VALOR", "N", 12, 2, {}}, {"DATA", "D", 8, 0, {}},
                                        {"ATIVO", "L", 1, 0, {}},  {"OBS", "M", 10, 0, {}}};
  std::vector<Record> records;
  for (int id = 1; id <= 5000; ++id) records.push_back(manyRecordsRow(id));
  writeWithLayer("muitos.dbf", structure, records);
  const std::vector<std::string> expected = canonical::dump(canonical::rowsOf(structure), records);
  ASSERT_EQ(layerDump("muitos.dbf"), expected);
  EXPECT_EQ(peerDump(GetParam(), "muitos.dbf"), expected);
}

TEST_P(LayerWrittenTest, TableWrittenInSharedUseReadsBackWhole) {
  // Shared appends rewrite the header at once and never touch the end of
  // the file.
  ASSERT_TRUE(storage.areas.createTable("compart.dbf", kAllTypes));
  storage::WorkArea& area = storage.open("compart.dbf", true);
  for (const Record& record : kAllTypesRecords) {
    ASSERT_TRUE(area.append());
    for (std::size_t i = 0; i < record.values.size(); ++i)
      if (!record.values[i].isNothing()) area.putField(static_cast<int>(i) + 1, record.values[i]);
  }
  storage.areas.closeArea();
  const std::vector<std::string> expected =
      canonical::dump(canonical::rowsOf(kAllTypes), kAllTypesRecords);
  ASSERT_EQ(layerDump("compart.dbf"), expected);
  EXPECT_EQ(peerDump(GetParam(), "compart.dbf"), expected);
}

TEST_P(LayerWrittenTest, PackedTableKeepsTheMemosOfItsLiveRecords) {
  const storage::Structure structure = {{"ID", "N", 4, 0, {}}, {"OBS", "M", 10, 0, {}}};
  std::vector<Record> records;
  for (int id = 1; id <= 8; ++id)
    records.push_back({id % 3 == 2, {integer(id), std::string(static_cast<std::size_t>(id * 150),
                                                              static_cast<char>('a' + id))}});
  writeWithLayer("compacta.dbf", structure, records);
  storage::WorkArea& area = storage.open("compacta.dbf");
  area.goTo(4);  // the old text's blocks are left unused until the pack
  area.putField(2, FieldValue("replaced before the pack"));
  area.pack();
  storage.areas.closeArea();

  std::vector<Record> kept;
  for (Record& record : records)
    if (!record.deleted) kept.push_back(record);
  kept[2].values[1] = "replaced before the pack";  // ID 4
  const std::vector<std::string> expected = canonical::dump(canonical::rowsOf(structure), kept);
  ASSERT_EQ(layerDump("compacta.dbf"), expected);
  EXPECT_EQ(peerDump(GetParam(), "compacta.dbf"), expected);
}

INSTANTIATE_TEST_SUITE_P(Peers, LayerWrittenTest, ::testing::ValuesIn(kDbfReaderPeers), peerName);

}  // namespace
}  // namespace converte::testing
