// Opening a table into a work area: the file with its share mode, the
// header and descriptors with every check a damaged file needs, the memo
// file, the record count from the file size, and the alias.

#include <algorithm>
#include <array>

#include "storage/driver_error.h"
#include "storage/open_table.h"
#include "storage/text_util.h"
#include "storage/work_areas.h"

namespace converte::storage {

struct TableOpener {
  StorageEnv& env;
  std::string path;
  bool shared;
  bool readOnly;

  std::unique_ptr<OpenTable> open(std::unique_ptr<platform::File> existing);

 private:
  std::unique_ptr<platform::File> openFile();
  bool readHeader(OpenTable& t);
  void readDescriptors(OpenTable& t, std::uint64_t fileSize);
  bool openMemo(OpenTable& t);
  [[noreturn]] void corrupt();
};

namespace {

TableStyle styleOf(std::uint8_t version) {
  switch (version) {
    case 0x04:
    case 0x7B:
    case 0x8B:
      return TableStyle::DbaseIv;
    case 0x30:
    case 0x31:
    case 0x32:
      return TableStyle::VisualFox;
    default:
      return TableStyle::Standard;
  }
}

bool knownVersion(std::uint8_t v) {
  static constexpr std::array<std::uint8_t, 11> kKnown{0x02, 0x03, 0x83, 0xF5, 0xE5, 0x04,
                                                       0x7B, 0x8B, 0x30, 0x31, 0x32};
  return std::find(kKnown.begin(), kKnown.end(), v) != kKnown.end();
}

bool hasMemoFields(const OpenTable& t) {
  return std::any_of(t.fields.begin(), t.fields.end(), [](const Field& f) { return isMemoField(f); });
}

bool validAlias(const std::string& alias) {
  if (alias.empty()) return false;
  char first = alias[0];
  if (!(first == '_' || (first >= 'A' && first <= 'Z'))) return false;
  return std::all_of(alias.begin(), alias.end(), [](char c) {
    return c == '_' || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

bool reservedAlias(const std::string& alias) {
  return alias.size() == 1 && ((alias[0] >= 'A' && alias[0] <= 'K') || alias[0] == 'M');
}

std::string defaultAlias(std::string_view path) {
  std::string_view base = platform::baseName(path);
  if (auto dot = base.find_last_of('.'); dot != std::string_view::npos) base = base.substr(0, dot);
  return upperTrimmed(base);
}

}  // namespace

void TableOpener::corrupt() {
  raiseDriverError(env, {0, kSubCorruption, path, ""});
  throw errors::ErrorAbandoned(makeDriverRecord({0, kSubCorruption, path, ""},
                                                std::source_location::current()));
}

std::unique_ptr<platform::File> TableOpener::openFile() {
  auto access = readOnly ? platform::Access::ReadOnly : platform::Access::ReadWrite;
  auto share = shared ? platform::ShareMode::Shared : platform::ShareMode::Exclusive;
  for (;;) {
    auto file = env.fs.open(path, access, share);
    if (file) return std::move(*file);
    DriverError error{0, kSubOpen, path, "", file.error().osCode, kOfferRetry | kOfferDefault};
    if (raiseDriverError(env, error) == errors::Answer::Default) return nullptr;
  }
}

bool TableOpener::readHeader(OpenTable& t) {
  for (;;) {
    std::array<std::byte, kDbfHeaderSize> bytes{};
    auto got = t.file->readAt(0, bytes);
    DriverError error{0, kSubRead, path, "", 0, kOfferRetry};
    if (!got) error.osCode = got.error().osCode;
    if (got && *got == kDbfHeaderSize) {
      t.header = DbfHeader::decode(bytes);
      if (knownVersion(t.header.version)) return true;
      error.subCode = kSubCorruption;
    }
    if (raiseDriverError(env, error) != errors::Answer::Retry) return false;
  }
}

void TableOpener::readDescriptors(OpenTable& t, std::uint64_t fileSize) {
  t.headerLength = t.header.headerLength;
  t.recordLength = t.header.recordLength;
  if (t.headerLength < kDbfHeaderSize + 1 || t.headerLength > fileSize || t.recordLength == 0)
    corrupt();
  std::vector<std::byte> area(t.headerLength - kDbfHeaderSize);
  auto got = t.file->readAt(kDbfHeaderSize, area);
  if (!got || *got != area.size()) corrupt();
  int offset = 1;
  for (std::size_t at = 0; at < area.size() && area[at] != kDescriptorEnd; at += kDescriptorSize) {
    if (at + kDescriptorSize > area.size()) corrupt();
    auto descriptor =
        FieldDescriptor::decode(std::span<const std::byte, kDescriptorSize>(area.data() + at, kDescriptorSize));
    auto field = fieldFromDescriptor(descriptor, t.style);
    if (!field) corrupt();
    if (field->type != '0') field->name = upperTrimmed(field->name);
    field->offset = offset;
    offset += field->length;
    if (offset > static_cast<int>(t.recordLength)) corrupt();
    t.fields.push_back(std::move(*field));
  }
  if (t.fields.empty()) corrupt();
}

bool TableOpener::openMemo(OpenTable& t) {
  std::optional<MemoFormat> format;
  switch (t.header.version) {
    case 0x83:
    case 0x7B:
    case 0x8B:
      format = MemoFormat::Dbt;
      break;
    case 0x04:
      if (hasMemoFields(t)) format = MemoFormat::Dbt;
      break;
    case 0xF5:
      format = MemoFormat::Fpt;
      break;
    case 0x30:
    case 0x31:
    case 0x32:
      if (t.header.tableFlags & 0x02) format = MemoFormat::Fpt;
      break;
    case 0xE5:  // SMT memo files are not supported by this driver
      raiseDriverError(env, {errors::kGenUnsupported, kSubOpen, path, ""});
      return false;
    default:
      break;
  }
  if (!format) return true;
  std::string memoPath = withExtension(path, *format == MemoFormat::Dbt ? ".dbt" : ".fpt");
  auto access = readOnly ? platform::Access::ReadOnly : platform::Access::ReadWrite;
  auto share = shared ? platform::ShareMode::Shared : platform::ShareMode::Exclusive;
  // An exclusive table holds its memos back as it holds back its records.
  auto writes = shared || readOnly ? MemoWrites::Immediate : MemoWrites::HeldBack;
  t.memo = openMemoFile(env, env.fs.resolve(memoPath), *format, access, share, writes);
  return t.memo != nullptr;
}

std::unique_ptr<OpenTable> TableOpener::open(std::unique_ptr<platform::File> existing) {
  auto t = std::make_unique<OpenTable>();
  t->file = existing ? std::move(existing) : openFile();
  if (!t->file) return nullptr;
  t->fileName = t->file->path();
  path = t->fileName;
  t->shared = shared;
  t->readOnly = readOnly;
  if (!readHeader(*t)) return nullptr;
  t->style = styleOf(t->header.version);
  auto size = t->file->size();
  if (!size) raiseDriverError(env, {0, kSubRead, path, "", size.error().osCode});
  readDescriptors(*t, *size);
  t->recordCount = static_cast<std::uint32_t>(
      std::min<std::uint64_t>((*size - t->headerLength) / t->recordLength, UINT32_MAX - 1));
  if (!openMemo(*t)) return nullptr;
  t->buffer.assign(t->recordLength, ' ');
  t->io = std::make_unique<RecordIo>(*t->file, t->headerLength, t->recordLength, !shared);
  return t;
}

bool WorkAreaList::useArea(bool newArea, std::string_view driver, std::string_view fileName,
                           std::string_view alias, std::optional<bool> shared, bool readOnly) {
  int target = newArea ? lowestFreeArea() : current_;
  if (!newArea) current().close();
  netErr_ = false;
  checkDriver(driver, kSubDriver);
  if (fileName.empty()) {
    raiseDriverError(env_, {errors::kGenArgument, kSubMemoCreate, "", "useArea"});
    return false;
  }
  if (target == 0) {
    raiseDriverError(env_, {errors::kGenLimit, kSubArgument, std::string(fileName), "useArea"});
    return false;
  }
  return openIn(target, fileName, alias, shared.value_or(!env_.exclusive), readOnly);
}

bool WorkAreaList::openIn(int number, std::string_view fileName, std::string_view alias,
                          bool shared, bool readOnly) {
  std::string path = env_.fs.resolve(pathForOpen(env_, withDefaultExtension(fileName, ".dbf")));
  TableOpener opener{env_, path, shared, readOnly};
  auto table = opener.open(nullptr);
  if (!table) return false;
  table->alias = alias.empty() ? defaultAlias(table->fileName) : upperTrimmed(alias);
  if (!validAlias(table->alias)) {
    raiseDriverError(env_, {errors::kGenAliasChars, kSubRead, table->fileName, table->alias});
    return false;
  }
  if (areaOf(table->alias) != 0 || reservedAlias(table->alias)) {
    raiseDriverError(env_, {errors::kGenAliasInUse, kSubWrite, table->fileName, table->alias});
    return false;
  }
  WorkArea& slot = area(number);
  slot.attach(std::move(table));
  current_ = number;
  slot.goTop();
  return true;
}

}  // namespace converte::storage
