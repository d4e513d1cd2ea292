// The storage family: bulk work on a generated table of 20 fields (C, N, D,
// L; 200 bytes a record) against the least work any implementation must do,
// a block copy of the table file through the platform layer with its fsync.
//
// Workloads, each in a child process of its own, in every size section:
//   copy                 read the table file, write a copy, fsync (baseline)
//   appendFrom_matching  appendFrom into an empty table of the same structure
//   appendFrom_fields    appendFrom into a structure with 3 new fields and 2
//                        widened fields (field by field)
//   pack                 pack a fresh copy with every 10th record deleted
//   create_append        create, append every record with putField on every
//                        field, close
// Each timed part ends with the table closed, which writes and fsyncs.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/families.h"
#include "bench/measure.h"
#include "bench/random.h"
#include "errors/error_handler.h"
#include "platform/system.h"
#include "storage/field_value.h"
#include "storage/number_format.h"
#include "storage/work_areas.h"

namespace converte::bench {
namespace {

using storage::FieldSpec;
using storage::FieldValue;
using storage::Structure;

constexpr std::uint64_t kSeed = 20241210;
constexpr std::size_t kCopyBlock = 1 << 20;
constexpr std::uint32_t kDeleteEvery = 10;  // pack input: every 10th record deleted
constexpr std::size_t kValuePool = 1024;    // distinct rows create_append cycles through

constexpr std::string_view kSource = "SOURCE.DBF";

// 8 C + 6 N + 4 D + 2 L fields: 199 bytes and the deletion flag.
const Structure& sourceStructure() {
  static const Structure structure = {
      {"CODIGO", "C", 10, 0, {}},   {"NOME", "C", 25, 0, {}},     {"ENDERECO", "C", 20, 0, {}},
      {"VALOR", "N", 10, 2, {}},    {"DATA_INI", "D", 8, 0, {}},  {"BAIRRO", "C", 12, 0, {}},
      {"SALDO", "N", 12, 2, {}},    {"QUANT", "N", 8, 0, {}},     {"ATIVO", "L", 1, 0, {}},
      {"CIDADE", "C", 15, 0, {}},   {"DATA_FIM", "D", 8, 0, {}},  {"NUMERO", "N", 6, 0, {}},
      {"CEP", "C", 8, 0, {}},       {"TAXA", "N", 14, 4, {}},     {"DATA_PAG", "D", 8, 0, {}},
      {"FONE", "C", 10, 0, {}},     {"PAGO", "L", 1, 0, {}},      {"DIAS", "N", 5, 0, {}},
      {"OBS", "C", 10, 0, {}},      {"DATA_VEN", "D", 8, 0, {}},
  };
  return structure;
}

// The new release's structure: NOME and VALOR widened, three fields added.
Structure widenedStructure() {
  Structure s = sourceStructure();
  for (FieldSpec& f : s) {
    if (f.name == "NOME") f.length = 40;
    if (f.name == "VALOR") f.length = 12;
  }
  s.insert(s.begin() + 4, {"COD_SPED", "C", 10, 0, {}});
  s.insert(s.begin() + 12, {"VALOR_ICM", "N", 12, 2, {}});
  s.push_back({"DATA_ALT", "D", 8, 0, {}});
  return s;
}

// --- Deterministic values ----------------------------------------------------

// The largest magnitude, in units of the last decimal place, that a numeric
// field of this size holds with a sign.
std::int64_t fieldLimit(const FieldSpec& f) {
  int integerPlaces = f.decimals > 0 ? f.length - f.decimals - 1 : f.length;
  std::int64_t limit = 1;
  for (int i = 0; i < std::min(integerPlaces - 1, 12) + f.decimals; ++i) limit *= 10;
  return limit - 1;
}

double scaledToReal(std::int64_t scaled, int decimals) {
  double v = static_cast<double>(scaled);
  for (int i = 0; i < decimals; ++i) v /= 10;
  return v;
}

// One field's value as the suite would put it.
FieldValue randomValue(Random& random, const FieldSpec& f) {
  switch (f.type[0]) {
    case 'C': {
      std::string text(static_cast<std::size_t>(random.between(1, f.length)), ' ');
      for (char& c : text) c = static_cast<char>('A' + random.between(0, 25));
      return FieldValue(std::move(text));
    }
    case 'N': {
      std::int64_t scaled = random.between(-fieldLimit(f) / 4, fieldLimit(f));
      if (f.decimals == 0) return FieldValue(storage::Number::ofInteger(scaled, f.length));
      return FieldValue(storage::Number::ofReal(scaledToReal(scaled, f.decimals),
                                                f.length - f.decimals - 1, f.decimals));
    }
    case 'D':
      if (random.between(0, 9) == 0) return FieldValue(storage::Date{});
      return FieldValue(storage::Date{static_cast<int>(random.between(1990, 2030)),
                                      static_cast<int>(random.between(1, 12)),
                                      static_cast<int>(random.between(1, 28))});
    default:
      return FieldValue(random.between(0, 1) == 1);
  }
}

// Field bytes as a put of the value stores them.
void storeValue(const FieldSpec& f, const FieldValue& value, char* at) {
  auto length = static_cast<std::size_t>(f.length);
  std::fill(at, at + length, ' ');
  if (value.isString()) {
    std::copy(value.string().begin(), value.string().end(), at);
  } else if (value.isNumber()) {
    storage::formatNumber(value.number(), f.decimals, std::span<char>(at, length));
  } else if (value.isDate()) {
    const storage::Date& d = value.date();
    if (d.isEmpty()) return;
    const int parts[3][2] = {{d.year, 4}, {d.month, 2}, {d.day, 2}};
    for (const auto& [number, width] : parts) {
      for (int i = width - 1, v = number; i >= 0; --i, v /= 10) at[i] = static_cast<char>('0' + v % 10);
      at += width;
    }
  } else {
    *at = value.logical() ? 'T' : 'F';
  }
}

using Row = std::vector<FieldValue>;

std::vector<Row> valuePool(std::size_t rows) {
  Random random(kSeed);
  std::vector<Row> pool(rows);
  for (Row& row : pool)
    for (const FieldSpec& f : sourceStructure()) row.push_back(randomValue(random, f));
  return pool;
}

// --- Storage context of a child ----------------------------------------------

class ReportingHandler final : public errors::ErrorHandler {
 public:
  errors::Answer handle(const errors::ErrorRecord& record) override {
    std::fprintf(stderr, "%s(%s): %s\n", record.operation.c_str(), record.fileName.c_str(),
                 record.description.value_or("").c_str());
    return errors::Answer::Abandon;
  }
};

struct Context {
  explicit Context(std::string directory, std::uint32_t recordCount)
      : dir(std::move(directory)),
        records(recordCount),
        fs(platform::newSystemFileSystem()),
        clock(platform::newSystemClock()),
        env(*fs, *clock, handler),
        areas(env) {
    env.defaultDir = dir;
  }
  std::string path(std::string_view name) const { return platform::joinPath(dir, name); }

  std::string dir;
  std::uint32_t records;
  std::unique_ptr<platform::FileSystem> fs;
  std::unique_ptr<platform::Clock> clock;
  ReportingHandler handler;
  storage::StorageEnv env;
  storage::WorkAreaList areas;
  std::vector<Row> pool;  // prepared values
};

void check(bool ok, std::string_view what) {
  if (!ok) throw std::runtime_error(std::string(what) + ": failed");
}

void checkStatus(const platform::Status& status) {
  if (!status) {
    throw std::runtime_error(status.error().operation + "(" + status.error().path +
                             "): os code " + std::to_string(status.error().osCode));
  }
}

std::unique_ptr<platform::File> openFile(Context& c, std::string_view name) {
  auto file = c.fs->open(c.path(name), platform::Access::ReadOnly, platform::ShareMode::Shared);
  if (!file) checkStatus(file.error());
  return std::move(*file);
}

std::unique_ptr<platform::File> createFile(Context& c, std::string_view name) {
  auto file = c.fs->create(c.path(name));
  if (!file) checkStatus(file.error());
  return std::move(*file);
}

// Copies a file block by block; edit may change each block (given its
// offset in the file) before it is written. Ends with fsync and close.
template <typename Edit>
void copyFile(Context& c, std::string_view from, std::string_view to, Edit edit) {
  auto source = openFile(c, from);
  auto target = createFile(c, to);
  std::vector<std::byte> block(kCopyBlock);
  for (std::uint64_t offset = 0;; offset += block.size()) {
    auto got = source->readAt(offset, block);
    if (!got) checkStatus(got.error());
    if (*got == 0) break;
    auto bytes = std::span<std::byte>(block).first(*got);
    edit(offset, bytes);
    checkStatus(target->writeAt(offset, bytes));
  }
  checkStatus(target->flush());
  checkStatus(target->close());
}

void erase(Context& c, std::string_view name) {
  if (c.fs->exists(c.path(name))) checkStatus(c.fs->erase(c.path(name)));
}

// --- Workloads ----------------------------------------------------------------

// Writes the source table: created through the layer, records as bytes.
void generateSource(Context& c) {
  check(c.areas.createTable(kSource, sourceStructure(), {}, true), "createTable");
  storage::WorkArea& area = c.areas.current();
  Random random(kSeed + 1);
  std::string record;
  for (std::uint32_t r = 0; r < c.records; ++r) {
    record.assign(1, ' ');
    for (const FieldSpec& f : sourceStructure()) {
      std::size_t at = record.size();
      record.resize(at + static_cast<std::size_t>(f.length));
      storeValue(f, randomValue(random, f), record.data() + at);
    }
    check(area.append(), "append");
    area.setRecordBytes(record);
  }
  c.areas.closeArea();
}

void runCopy(Context& c) {
  copyFile(c, kSource, "COPY.DBF", [](std::uint64_t, std::span<std::byte>) {});
}

void prepareTarget(Context& c, const Structure& structure) {
  check(c.areas.createTable("TARGET.DBF", structure), "createTable");
}
void prepareMatching(Context& c) { prepareTarget(c, sourceStructure()); }
void prepareFields(Context& c) { prepareTarget(c, widenedStructure()); }

void runAppendFrom(Context& c) {
  check(c.areas.useArea(true, "", "TARGET.DBF", "", false, false), "useArea");
  check(c.areas.appendFrom(c.path(kSource)), "appendFrom");
  c.areas.closeArea();
}

// A fresh copy of the source with the deletion flag set on every 10th
// record, on disk before the timing starts.
void preparePack(Context& c) {
  std::array<std::byte, 12> header{};
  auto got = openFile(c, kSource)->readAt(0, header);
  if (!got) checkStatus(got.error());
  const auto word = [&header](int at) {
    return static_cast<std::uint64_t>(header[static_cast<std::size_t>(at)]) |
           static_cast<std::uint64_t>(header[static_cast<std::size_t>(at) + 1]) << 8;
  };
  const std::uint64_t headerLength = word(8);
  const std::uint64_t recordLength = word(10);
  const std::uint64_t end = headerLength + recordLength * c.records;
  copyFile(c, kSource, "PACK.DBF", [&](std::uint64_t offset, std::span<std::byte> bytes) {
    const std::uint64_t step = recordLength * kDeleteEvery;
    std::uint64_t first = headerLength + recordLength * (kDeleteEvery - 1);
    if (offset > first) first += (offset - first + step - 1) / step * step;
    for (std::uint64_t at = first; at < offset + bytes.size() && at < end; at += step)
      bytes[at - offset] = std::byte{'*'};
  });
}

void runPack(Context& c) {
  check(c.areas.useArea(true, "", "PACK.DBF", "", false, false), "useArea");
  c.areas.current().pack();
  c.areas.closeArea();
}

void prepareCreateAppend(Context& c) { c.pool = valuePool(kValuePool); }

void runCreateAppend(Context& c) {
  check(c.areas.createTable("CREATED.DBF", sourceStructure(), {}, true), "createTable");
  storage::WorkArea& area = c.areas.current();
  for (std::uint32_t r = 0; r < c.records; ++r) {
    const Row& row = c.pool[r % c.pool.size()];
    check(area.append(), "append");
    for (std::size_t i = 0; i < row.size(); ++i) area.putField(static_cast<int>(i) + 1, row[i]);
  }
  c.areas.closeArea();
}

void nothing(Context&) {}

struct Workload {
  std::string_view name;
  void (*prepare)(Context&);
  void (*run)(Context&);
  std::string_view output;  // the file the workload leaves, removed after it
  bool listed = true;       // false: a step of the set-up, not printed
};

// The baseline comes first: every later line is a ratio to it.
constexpr std::string_view kBaseline = "copy";
const Workload kWorkloads[] = {
    {"generate", nothing, generateSource, "", false},
    {"copy", nothing, runCopy, "COPY.DBF"},
    {"appendFrom_matching", prepareMatching, runAppendFrom, "TARGET.DBF"},
    {"appendFrom_fields", prepareFields, runAppendFrom, "TARGET.DBF"},
    {"pack", preparePack, runPack, "PACK.DBF"},
    {"create_append", prepareCreateAppend, runCreateAppend, "CREATED.DBF"},
};

const Workload* workloadNamed(std::string_view name) {
  for (const Workload& w : kWorkloads)
    if (w.name == name) return &w;
  return nullptr;
}

// --- Parent side ----------------------------------------------------------------

// The fastest of the runs, with the highest peak any of them reached.
std::optional<Measurement> measure(const Workload& w, const std::string& dir,
                                   std::uint32_t records, int repeat) {
  return fastestOf({"--child", "storage", std::string(w.name), dir, std::to_string(records)}, repeat);
}

bool runSection(const Options& options, std::uint32_t records, const std::string& dir) {
  std::string suffix = sizeSuffix(records);
  suffix.insert(suffix.begin(), '_');
  double baseline = 0;
  for (const Workload& w : kWorkloads) {
    auto m = measure(w, dir, records, w.listed ? options.repeat : 1);
    if (!m) return false;
    if (!w.listed) continue;
    if (w.name == kBaseline) baseline = m->seconds;
    std::printf("%s%s: %.3f s, %.2fx %s%s, peak %.1f MB\n", std::string(w.name).c_str(),
                suffix.c_str(), m->seconds, baseline > 0 ? m->seconds / baseline : 0.0,
                std::string(kBaseline).c_str(), suffix.c_str(),
                static_cast<double>(m->peakBytes) / (1024.0 * 1024.0));
    std::fflush(stdout);
  }
  return true;
}

// --- Child side -------------------------------------------------------------------

int runWorkload(const Workload& w, Context& c) {
  w.prepare(c);
  Stopwatch watch;
  w.run(c);
  Measurement m{watch.seconds(), peakResidentBytes()};
  std::printf("%s\n", encodeMeasurement(m).c_str());
  if (!w.output.empty()) erase(c, w.output);
  return 0;
}

}  // namespace

bool runStorageFamily(const Options& options) {
  std::fprintf(stderr, "storage: build %s, seed %llu, %d run(s) per workload, fastest counts\n",
               CONVERTE_BUILD_TYPE, static_cast<unsigned long long>(kSeed), options.repeat);
  bool ok = true;
  for (std::uint32_t records : options.sizes) {
    auto dir = std::filesystem::temp_directory_path() /
               ("converte_bench_" + std::to_string(records) + "_" + std::to_string(kSeed));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::fprintf(stderr, "section %s: %u records of 200 bytes, 20 fields, in %s\n",
                 sizeSuffix(records).c_str(), records, dir.c_str());
    ok = runSection(options, records, dir.string()) && ok;
    std::filesystem::remove_all(dir);
  }
  return ok;
}

int runStorageChild(const std::vector<std::string>& arguments) {
  if (arguments.size() != 3) return 2;
  const Workload* w = workloadNamed(arguments[0]);
  if (!w) return 2;
  try {
    Context c(arguments[1], static_cast<std::uint32_t>(std::stoul(arguments[2])));
    return runWorkload(*w, c);
  } catch (const errors::ErrorAbandoned& e) {
    std::fprintf(stderr, "%s: %s\n", arguments[0].c_str(), e.what());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", arguments[0].c_str(), e.what());
  }
  return 1;
}

}  // namespace converte::bench
