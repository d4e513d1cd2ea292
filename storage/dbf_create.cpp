// Creating a table: checking and mapping the structure, writing the header
// and descriptors in one piece, and creating the memo file.

#include <algorithm>

#include "storage/driver_error.h"
#include "storage/field_types.h"
#include "storage/open_table.h"
#include "storage/text_util.h"
#include "storage/work_areas.h"

namespace converte::storage {


namespace {

constexpr std::string_view kCreateOperation = "createTable";

std::string normalisedName(const std::string& name) {
  std::string result = upperTrimmed(name);
  if (result.size() > 63) result.resize(63);
  return result;
}

// The stored fields of a structure; empty when an entry has an empty name.
std::optional<std::vector<Field>> fieldsOf(StorageEnv& env, const Structure& structure) {
  std::vector<Field> fields;
  int offset = 1;
  for (const auto& spec : structure) {
    if (spec.type.empty()) {
      raiseDriverError(env, {errors::kGenArgument, kSubArgument, "", std::string(kCreateOperation)});
    }
    std::string name = normalisedName(spec.name);
    if (name.empty()) return std::nullopt;
    char letter = upperAscii(spec.type[0]);
    auto field = fieldForCreate(name, letter, spec.length, spec.decimals, spec.flags);
    if (!field) {
      raiseDriverError(env, {errors::kGenArgument, kSubArgument, "", std::string(kCreateOperation)});
    }
    field->offset = offset;
    offset += field->length;
    fields.push_back(std::move(*field));
  }
  return fields;
}

std::vector<std::byte> headerBytes(const std::vector<Field>& fields, platform::LocalTime today) {
  bool memo = std::any_of(fields.begin(), fields.end(), [](const Field& f) { return isMemoField(f); });
  int recordLength = 1;
  for (const auto& f : fields) recordLength += f.length;
  DbfHeader header;
  header.version = memo ? 0x83 : 0x03;
  header.year = static_cast<std::uint8_t>(today.year - 1900);
  header.month = static_cast<std::uint8_t>(today.month);
  header.day = static_cast<std::uint8_t>(today.day);
  header.headerLength = static_cast<std::uint16_t>(kDbfHeaderSize + kDescriptorSize * fields.size() + 2);
  header.recordLength = static_cast<std::uint16_t>(recordLength);
  std::vector<std::byte> bytes(header.headerLength + 1u);
  header.encode(std::span<std::byte, kDbfHeaderSize>(bytes.data(), kDbfHeaderSize));
  std::byte* at = bytes.data() + kDbfHeaderSize;
  for (const auto& f : fields) {
    descriptorOf(f).encode(std::span<std::byte, kDescriptorSize>(at, kDescriptorSize));
    at += kDescriptorSize;
  }
  at[0] = kDescriptorEnd;
  at[1] = std::byte{0};
  at[2] = kEndOfFile;
  return bytes;
}

std::unique_ptr<platform::File> createFile(StorageEnv& env, const std::string& path) {
  for (;;) {
    auto file = env.fs.create(path);
    if (file) return std::move(*file);
    raiseDriverError(env, {0, kSubCreate, path, "", file.error().osCode, kOfferRetry});
  }
}

}  // namespace

bool WorkAreaList::createTable(std::string_view fileName, const Structure& structure,
                               std::string_view driver, bool keepOpen, std::string_view alias) {
  if (fileName.empty()) {
    raiseDriverError(env_, {errors::kGenArgument, kSubArgument, "", std::string(kCreateOperation)});
  }
  checkDriver(driver, kSubDriver);
  auto fields = fieldsOf(env_, structure);
  if (!fields) return false;
  std::string path = env_.fs.resolve(pathForCreate(env_, withDefaultExtension(fileName, ".dbf")));
  std::size_t recordLength = 1;
  for (const auto& f : *fields) recordLength += static_cast<std::size_t>(f.length);
  if (kDbfHeaderSize + kDescriptorSize * fields->size() + 2 > 65535 || recordLength > 65535) {
    raiseDriverError(env_, {errors::kGenCreate, kSubCreateLimit, path, ""});
  }
  auto file = createFile(env_, path);
  std::vector<std::byte> bytes = headerBytes(*fields, env_.clock.now());
  if (auto status = file->writeAt(0, bytes); !status) {
    raiseDriverError(env_, {0, kSubWrite, path, "", status.error().osCode});
  }
  bool memo = std::any_of(fields->begin(), fields->end(), [](const Field& f) { return isMemoField(f); });
  if (memo) {
    std::string_view ext = platform::baseName(path).find(".DBF") != std::string_view::npos ? ".DBT" : ".dbt";
    createMemoFile(env_, withExtension(path, ext), MemoFormat::Dbt);
  }
  if (auto status = file->close(); !status) {
    raiseDriverError(env_, {0, kSubWrite, path, "", status.error().osCode});
  }
  if (!keepOpen) return true;
  int number = lowestFreeArea();
  return number != 0 && openIn(number, path, alias, false, false);
}

}  // namespace converte::storage
