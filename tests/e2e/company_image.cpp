// Reads a company directory's tables into their images through the storage
// layer, with records marked deleted visible.

#include "tests/e2e/company_image.h"

#include <cctype>
#include <filesystem>
#include <stdexcept>

#include "errors/error_handler.h"
#include "platform/system.h"
#include "storage/work_areas.h"
#include "tests/support/fixed_clock.h"

namespace converte::testing {
namespace {

TableImage readTable(storage::WorkArea& area) {
  TableImage image;
  for (const storage::StructureRow& row : area.structure())
    image.structure.push_back({row.name, std::string(1, row.type), row.length, row.decimals, {}});
  const std::vector<storage::Field>& fields = area.fields();
  const std::uint32_t count = area.recCount();
  image.records.reserve(count);
  for (std::uint32_t r = 1; r <= count; ++r) {
    area.goTo(r);
    const std::span<const char> bytes = area.recordBytes();
    ImageRecord record{area.deleted(), {}};
    record.cells.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (fields[i].type == 'M') {
        const storage::FieldValue text = area.getField(static_cast<int>(i) + 1);
        record.cells.push_back(text.isString() ? text.string() : std::string());
      } else {
        record.cells.emplace_back(bytes.data() + fields[i].offset,
                                  static_cast<std::size_t>(fields[i].length));
      }
    }
    image.records.push_back(std::move(record));
  }
  return image;
}

}  // namespace

int TableImage::position(std::string_view name) const {
  for (std::size_t i = 0; i < structure.size(); ++i)
    if (structure[i].name == name) return static_cast<int>(i);
  return -1;
}

const storage::FieldSpec& TableImage::field(std::string_view name) const {
  const int at = position(name);
  if (at < 0) throw std::out_of_range("no field " + std::string(name));
  return structure[static_cast<std::size_t>(at)];
}

const ImageRecord* TableImage::firstLive() const {
  for (const ImageRecord& record : records)
    if (!record.deleted) return &record;
  return nullptr;
}

ImageRecord* TableImage::firstLive() {
  return const_cast<ImageRecord*>(static_cast<const TableImage&>(*this).firstLive());
}

std::string tableNameOf(std::string_view fileName) {
  std::string name(fileName.substr(0, fileName.rfind('.')));
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

CompanyImage readCompanyImage(const std::string& directory) {
  auto fs = platform::newSystemFileSystem();
  FixedClock clock;
  errors::AbandonAll handler;
  storage::StorageEnv env(*fs, clock, handler);
  env.defaultDir = directory;
  storage::WorkAreaList areas(env);
  CompanyImage company;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    const std::string file = entry.path().filename().string();
    std::string extension = entry.path().extension().string();
    for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!entry.is_regular_file() || extension != ".DBF") continue;
    if (!areas.useArea(true, {}, file, {}, true, true))
      throw std::runtime_error("cannot open " + directory + "/" + file);
    storage::WorkArea& area = areas.current();
    area.setBulkRead(true);
    company[tableNameOf(file)] = readTable(area);
    areas.closeArea();
  }
  return company;
}

}  // namespace converte::testing
