// Memo texts of the sizes where the DBT block layout changes (around one and
// two 512-byte blocks), written by the storage layer and read by independent
// DBF readers: each size once in the middle of the memo file, where the next
// memo overwrites its second 0x1A, and once as the last memo of the file.
// Both readers end a text at its first 0x1A (Perl's XBase only when opened
// with memosep "\x1a": its default looks for 0x1A 0x1A and runs a 511-byte
// text on into the next memo), so every size is compared for every peer.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/interop/interop_fixture.h"

namespace converte::testing {
namespace {

using canonical::Record;
using storage::Number;

// Printable text of the length with a CR/LF line end every 60 bytes or so,
// different for every seed.
std::string memoText(std::size_t length, int seed) {
  std::string text;
  text.reserve(length);
  for (std::size_t i = 0; text.size() < length; ++i) {
    if (i % 61 == 60 && text.size() + 2 <= length)
      text += "\r\n";
    else
      text += static_cast<char>('!' + (i * 7 + static_cast<std::size_t>(seed)) % 90);
  }
  return text;
}

constexpr std::size_t kMemoLengths[] = {1, 10, 510, 511, 512, 513, 1022, 1023, 1024, 1025, 1535,
                                        1536, 3000};

class MemoLayoutTest : public ::testing::TestWithParam<std::tuple<DbfReaderPeer, std::size_t>>,
                       public InteropFixture {};

TEST_P(MemoLayoutTest, TextReadsBackInTheMiddleAndAtTheEndOfTheMemoFile) {
  const auto& [peer, length] = GetParam();
  const storage::Structure structure = {{"ID", "N", 4, 0, {}}, {"OBS", "M", 10, 0, {}}};
  const std::vector<Record> records = {
      {false, {Number::ofInteger(1), memoText(length, 1)}},
      {false, {Number::ofInteger(2), "after"}},
      {false, {Number::ofInteger(3), {}}},
      {false, {Number::ofInteger(4), memoText(length, 2)}},
  };
  writeWithLayer("memos.dbf", structure, records);
  const std::vector<std::string> expected = canonical::dump(canonical::rowsOf(structure), records);
  ASSERT_EQ(layerDump("memos.dbf"), expected);
  EXPECT_EQ(peerDump(peer, "memos.dbf"), expected);
}

std::string memoCaseName(
    const ::testing::TestParamInfo<std::tuple<DbfReaderPeer, std::size_t>>& info) {
  return std::string(std::get<0>(info.param).name) + "_" + std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Sizes, MemoLayoutTest,
                         ::testing::Combine(::testing::ValuesIn(kDbfReaderPeers),
                                            ::testing::ValuesIn(kMemoLengths)),
                         memoCaseName);

}  // namespace
}  // namespace converte::testing
