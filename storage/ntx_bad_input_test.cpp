// Damaged NTX files: every malformed header or page is reported as
// "Corruption detected" naming the file, at open or at the first operation
// that reaches it, and no operation crashes, loops or reads out of bounds.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "errors/error_handler.h"
#include "storage/ntx_index.h"
#include "storage/ntx_test_support.h"

namespace converte::storage {
namespace {

using testing::rawU16;
using testing::rawU32;

void putU16At(std::string& bytes, std::size_t at, std::uint16_t v) {
  bytes[at] = static_cast<char>(v & 0xFF);
  bytes[at + 1] = static_cast<char>(v >> 8);
}
void putU32At(std::string& bytes, std::size_t at, std::uint32_t v) {
  putU16At(bytes, at, static_cast<std::uint16_t>(v & 0xFFFF));
  putU16At(bytes, at + 2, static_cast<std::uint16_t>(v >> 16));
}

// Where slot s of the page at offset keeps its item.
std::size_t itemAt(const std::string& bytes, std::size_t page, std::size_t slot) {
  return page + rawU16(bytes, page + 2 + 2 * slot);
}
std::uint32_t rootOf(const std::string& bytes) { return rawU32(bytes, 4); }

enum class FailsAt { Open, Walk, Insert };

struct Damage {
  const char* name;
  FailsAt failsAt;
  std::function<void(std::string&)> apply;
};

const Damage kDamages[] = {
    {"UnknownFlags", FailsAt::Open, [](std::string& b) { putU16At(b, 0, 0x0100); }},
    {"MultiOrderFlag", FailsAt::Open, [](std::string& b) { putU16At(b, 0, 0x8006); }},
    {"KeyLengthZero", FailsAt::Open, [](std::string& b) { putU16At(b, 14, 0); putU16At(b, 12, 8); }},
    {"KeyLengthTooLong", FailsAt::Open, [](std::string& b) { putU16At(b, 14, 300); putU16At(b, 12, 308); }},
    {"ItemSizeMismatch", FailsAt::Open, [](std::string& b) { putU16At(b, 12, 14); }},
    {"MaxKeysTooMany", FailsAt::Open, [](std::string& b) { putU16At(b, 18, 400); }},
    {"MaxKeysBelowTwo", FailsAt::Open, [](std::string& b) { putU16At(b, 18, 1); }},
    {"RootOffPageBoundary", FailsAt::Open, [](std::string& b) { putU32At(b, 4, 1025); }},
    {"RootBeyondFile", FailsAt::Open, [](std::string& b) { putU32At(b, 4, 1024 * 500); }},
    {"RootIsHeader", FailsAt::Open, [](std::string& b) { putU32At(b, 4, 0); }},
    {"FreePageBeyondFile", FailsAt::Open, [](std::string& b) { putU32At(b, 8, 1024 * 500); }},
    {"ShortHeader", FailsAt::Open, [](std::string& b) { b.resize(100); }},
    {"TooManyKeysInRoot", FailsAt::Walk, [](std::string& b) { putU16At(b, rootOf(b), 67); }},
    {"ChildBeyondFile", FailsAt::Walk,
     [](std::string& b) { putU32At(b, itemAt(b, rootOf(b), 3), 1024 * 500); }},
    {"ChildOffPageBoundary", FailsAt::Walk,
     [](std::string& b) { putU32At(b, itemAt(b, rootOf(b), 3), 1024 * 2 + 10); }},
    {"LastChildIsHeader", FailsAt::Walk,
     [](std::string& b) { putU32At(b, itemAt(b, rootOf(b), rawU16(b, rootOf(b))), 512); }},
    {"ItemOffsetPastPageEnd", FailsAt::Walk,
     [](std::string& b) { putU16At(b, rootOf(b) + 2 + 2 * 2, 1020); }},
    {"ItemOffsetInsideOffsets", FailsAt::Walk,
     [](std::string& b) { putU16At(b, rootOf(b) + 2, 3); }},
    {"LeafItemOffsetHuge", FailsAt::Walk, [](std::string& b) { putU16At(b, 1024 + 2 + 2 * 10, 0xFFFF); }},
    {"RootNamesItself", FailsAt::Walk,
     [](std::string& b) { putU32At(b, itemAt(b, rootOf(b), 0), rootOf(b)); }},
    {"CycleThroughALeaf", FailsAt::Walk,
     [](std::string& b) { putU32At(b, itemAt(b, 1024, 5), rootOf(b)); }},
    {"PageReachedTwice", FailsAt::Walk,
     [](std::string& b) { putU32At(b, itemAt(b, rootOf(b), 1), rawU32(b, itemAt(b, rootOf(b), 0))); }},
    {"FreeChainNamesALivePage", FailsAt::Insert, [](std::string& b) { putU32At(b, 8, 1024); }},
};

class NtxBadInputTest : public ::testing::TestWithParam<Damage>, public testing::NtxFixture {
 protected:
  std::string path() const { return dir.file("bad.ntx"); }

  void makeDamaged() {
    create("bad.ntx", definition(5), testing::numberedEntries(1000, 5));
    std::string bytes = testing::readFileBytes(path());
    GetParam().apply(bytes);
    testing::writeFileBytes(path(), bytes);
  }

  std::unique_ptr<NtxIndex> openIt() {
    return NtxIndex::open(env, path(), platform::Access::ReadWrite, platform::ShareMode::Exclusive);
  }

  void expectOnlyCorruption() {
    ASSERT_FALSE(handler.records.empty());
    for (const auto& record : handler.records) {
      EXPECT_EQ(record.genCode, 32);
      EXPECT_EQ(record.subCode, 1012);
      EXPECT_EQ(record.description, "Corruption detected");
      EXPECT_EQ(record.fileName, path());
      EXPECT_FALSE(record.canRetry);
      EXPECT_FALSE(record.canDefault);
    }
  }

  // Runs op; it may succeed (the damage lies elsewhere) or raise.
  static void tolerate(const std::function<void()>& op) {
    try {
      op();
    } catch (const errors::ErrorAbandoned&) {
    }
  }
};

TEST_P(NtxBadInputTest, IsReportedAsCorruptionNamingTheFile) {
  makeDamaged();
  if (GetParam().failsAt == FailsAt::Open) {
    EXPECT_THROW(openIt(), errors::ErrorAbandoned);
    expectOnlyCorruption();
    return;
  }
  auto index = openIt();
  ASSERT_TRUE(index) << "the header itself is sound";
  ASSERT_TRUE(handler.records.empty());
  if (GetParam().failsAt == FailsAt::Walk) {
    EXPECT_THROW(index->entries(), errors::ErrorAbandoned);
  } else {
    EXPECT_THROW(
        {
          for (std::uint32_t r = 0; r < 200; ++r) index->insert("00010", 5000 + r);
        },
        errors::ErrorAbandoned);
  }
  expectOnlyCorruption();
  // Every other operation either works or reports the damage the same way.
  tolerate([&] { index->first(); });
  tolerate([&] { index->last(); });
  tolerate([&] { index->seek("005", false); });
  tolerate([&] { index->seek("005", true); });
  tolerate([&] { index->next("00500", 501); });
  tolerate([&] { index->previous("00500", 501); });
  tolerate([&] { index->remove("00999", 1000); });
  tolerate([&] {
    for (std::uint32_t r = 0; r < 100; ++r) index->insert("00300", 7000 + r);
  });
  expectOnlyCorruption();
}

INSTANTIATE_TEST_SUITE_P(Damages, NtxBadInputTest, ::testing::ValuesIn(kDamages),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace converte::storage
