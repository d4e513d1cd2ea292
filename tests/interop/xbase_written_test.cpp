// Tables with memos written by Perl's XBase module, read by the storage
// layer value for value, and then extended by the layer and read again by
// every peer: the layer must take the next free memo block from a memo file
// it did not write.

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

std::string repeated(std::size_t length, std::string_view pattern) {
  std::string text;
  while (text.size() < length) text += pattern;
  text.resize(length);
  return text;
}

const storage::Structure kStructure = {
    {"ID", "N", 5, 0, {}},     {"NOME", "C", 20, 0, {}}, {"LONGO", "C", 300, 0, {}},
    {"VALOR", "N", 12, 2, {}}, {"DATA", "D", 8, 0, {}},  {"ATIVO", "L", 1, 0, {}},
    {"OBS", "M", 10, 0, {}},
};

// Memos of one and two blocks and their edges, with CR/LF texts, empty
// memos, blanks in every other type and deleted records in between.
const std::vector<Record> kXbaseRecords = {
    {false, {integer(1), "ALFA", std::string(300, 'L'), real(1234.56), Date{2024, 1, 31}, true,
             "short"}},
    {false, {integer(2), "A\xc7\xc3O", kBlank, real(-0.5), kBlank, false, ""}},
    {true, {integer(3), "apagado", "x", real(-99999.99), Date{1999, 12, 31}, kBlank,
            repeated(511, "0123456789\r\n")}},
    {false, {integer(4), kBlank, kBlank, kBlank, kBlank, kBlank, repeated(512, "abc\r\n")}},
    {false, {integer(-5), "lf only", "y", real(0.01), Date{2000, 2, 29}, true,
             repeated(1023, "line\n")}},
    {true, {integer(6), "apagado 2", kBlank, real(7), Date{1900, 1, 1}, false,
            repeated(1024, "\\tab\t")}},
    {false, {integer(7), "last", kBlank, real(99999999.99), Date{2024, 12, 9}, kBlank,
             repeated(3000, "multi block text ")}},
};

const std::vector<storage::StructureRow> kRows = canonical::rowsOf(kStructure);

class XbaseWrittenTest : public ::testing::Test, public InteropFixture {
 protected:
  // Writes the table with Perl's XBase from the records, in their order.
  void writeWithXbase(const std::string& name, const std::vector<Record>& records) {
    std::string description = canonical::structureLine(kRows) + "\n";
    for (const Record& record : records) description += canonical::recordLine(kRows, record) + "\n";
    writeFileBytes(storage.path("description.txt"), description);
    const PeerResult result = runPeer(peerScript("xbase_write.pl"),
                                      {storage.path(name), storage.path("description.txt")});
    ASSERT_EQ(result.status, 0) << describe(result);
  }
};

TEST_F(XbaseWrittenTest, LayerReadsEveryFieldValueForValue) {
  writeWithXbase("perl.dbf", kXbaseRecords);
  EXPECT_EQ(layerDump("perl.dbf"), canonical::dump(kRows, kXbaseRecords));
}

TEST_F(XbaseWrittenTest, RecordsAndMemosTheLayerAddsAreReadByEveryPeer) {
  writeWithXbase("perl.dbf", kXbaseRecords);
  std::vector<Record> expected = kXbaseRecords;
  const int obs = static_cast<int>(kStructure.size());

  storage::WorkArea& area = storage.open("perl.dbf");
  area.goTo(2);  // a record without a memo gets one
  area.putField(obs, FieldValue(repeated(700, "new memo ")));
  expected[1].values[6] = repeated(700, "new memo ");
  area.goTo(5);  // a memo is replaced by a shorter one
  area.putField(obs, FieldValue("replaced"));
  expected[4].values[6] = "replaced";
  const std::vector<Record> added = {
      {false, {integer(8), "layer", "z", real(-1.25), Date{2025, 6, 30}, true,
               repeated(511, "511 ")}},
      {false, {integer(9), "layer 2", kBlank, kBlank, kBlank, false, "after the 511"}},
  };
  for (const Record& record : added) {
    ASSERT_TRUE(area.append());
    for (std::size_t i = 0; i < record.values.size(); ++i)
      if (!record.values[i].isNothing()) area.putField(static_cast<int>(i) + 1, record.values[i]);
    expected.push_back(record);
  }
  storage.areas.closeArea();

  const std::vector<std::string> lines = canonical::dump(kRows, expected);
  EXPECT_EQ(layerDump("perl.dbf"), lines);
  for (const DbfReaderPeer& peer : kDbfReaderPeers)
    EXPECT_EQ(peerDump(peer, "perl.dbf"), lines) << peer.name;
}

}  // namespace
}  // namespace converte::testing
