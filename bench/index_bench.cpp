// The index family: building, seeking and maintaining NTX orders on a
// generated table of 20 fields (C, N, D, L; 200 bytes a record), against a
// sequential read of the table file through the platform layer.
//
// Workloads, each in a child process of its own, in every size section:
//   read              read the table file in 1 MiB blocks (baseline)
//   createIndex_char  open, createIndex on CHAVE C(5), close
//   createIndex_num   open, createIndex on VALOR N(10,2), half negative, close
//   seek_random       100,000 seeks of keys of random records in the CHAVE
//                     order (opening and closing untimed); seeks per second
//   append_noindex    100,000 appends with putField on every field to a copy
//                     of the table, close
//   append_index      the same appends with the CHAVE order open, so every
//                     append inserts a key; also compared to append_noindex

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
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

constexpr std::uint64_t kSeed = 20241211;
constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::uint32_t kSeeks = 100'000;
constexpr std::uint32_t kAppends = 100'000;
constexpr std::uint32_t kValuePool = 1024;  // source records the appends cycle through

constexpr std::string_view kSource = "SOURCE.DBF";
constexpr std::string_view kCharIndex = "CHAVE.NTX";
constexpr std::string_view kNumIndex = "VALOR.NTX";
constexpr std::string_view kAppendTable = "APPEND.DBF";
constexpr std::string_view kAppendIndex = "APPEND.NTX";

constexpr std::string_view kCharKeyField = "CHAVE";
constexpr std::string_view kNumKeyField = "VALOR";

// 8 C + 6 N + 4 D + 2 L fields: 199 bytes and the deletion flag.
const Structure& sourceStructure() {
  static const Structure structure = {
      {"CHAVE", "C", 5, 0, {}},     {"NOME", "C", 25, 0, {}},     {"ENDERECO", "C", 20, 0, {}},
      {"VALOR", "N", 10, 2, {}},    {"DATA_INI", "D", 8, 0, {}},  {"BAIRRO", "C", 12, 0, {}},
      {"SALDO", "N", 12, 2, {}},    {"QUANT", "N", 8, 0, {}},     {"ATIVO", "L", 1, 0, {}},
      {"CIDADE", "C", 15, 0, {}},   {"DATA_FIM", "D", 8, 0, {}},  {"NUMERO", "N", 6, 0, {}},
      {"CEP", "C", 8, 0, {}},       {"TAXA", "N", 14, 4, {}},     {"DATA_PAG", "D", 8, 0, {}},
      {"FONE", "C", 10, 0, {}},     {"PAGO", "L", 1, 0, {}},      {"DIAS", "N", 5, 0, {}},
      {"OBS", "C", 15, 0, {}},      {"DATA_VEN", "D", 8, 0, {}},
  };
  return structure;
}

// --- Deterministic values ----------------------------------------------------

// The CHAVE of a record: five letters drawn from its number, so that any
// record's key is known without reading the table.
std::string keyOfRecord(std::uint32_t record) {
  std::uint64_t z = kSeed + record * 0x9E3779B97F4A7C15ULL;  // splitmix64
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  std::string key(5, ' ');
  for (char& c : key) {
    c = static_cast<char>('A' + z % 26);
    z /= 26;
  }
  return key;
}

// The largest magnitude, in units of the last decimal place, that a numeric
// field of this size holds with a sign.
std::int64_t fieldLimit(const FieldSpec& f) {
  int integerPlaces = f.decimals > 0 ? f.length - f.decimals - 1 : f.length;
  std::int64_t limit = 1;
  for (int i = 0; i < std::min(integerPlaces - 1, 12) + f.decimals; ++i) limit *= 10;
  return limit - 1;
}

storage::Number randomNumber(Random& random, const FieldSpec& f) {
  std::int64_t scaled = random.between(-fieldLimit(f), fieldLimit(f));
  if (f.decimals == 0) return storage::Number::ofInteger(scaled, f.length);
  double real = static_cast<double>(scaled);
  for (int i = 0; i < f.decimals; ++i) real /= 10;
  return storage::Number::ofReal(real, f.length - f.decimals - 1, f.decimals);
}

void putDigits(char* at, int width, int value) {
  for (int i = width - 1; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
}

// The stored bytes of a random value of the field (blank-filled beforehand).
void storeRandomValue(Random& random, const FieldSpec& f, char* at) {
  switch (f.type[0]) {
    case 'C':
      for (std::int64_t i = random.between(1, f.length); i > 0; --i, ++at)
        *at = static_cast<char>('A' + random.between(0, 25));
      break;
    case 'N':
      storage::formatNumber(randomNumber(random, f), f.decimals,
                            std::span<char>(at, static_cast<std::size_t>(f.length)));
      break;
    case 'D':
      if (random.between(0, 9) == 0) break;  // an empty date
      putDigits(at, 4, static_cast<int>(random.between(1990, 2030)));
      putDigits(at + 4, 2, static_cast<int>(random.between(1, 12)));
      putDigits(at + 6, 2, static_cast<int>(random.between(1, 28)));
      break;
    default:
      *at = random.between(0, 1) == 1 ? 'T' : 'F';
  }
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

using Row = std::vector<FieldValue>;

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
  std::vector<std::string> seekKeys;  // prepared keys of seek_random
  std::vector<Row> pool;              // prepared rows of the appends
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

// Reads the whole file block by block; hands each block to use.
template <typename Use>
void readFile(Context& c, std::string_view name, Use use) {
  auto source = openFile(c, name);
  std::vector<std::byte> block(kReadBlock);
  for (std::uint64_t offset = 0;; offset += block.size()) {
    auto got = source->readAt(offset, block);
    if (!got) checkStatus(got.error());
    if (*got == 0) break;
    use(offset, std::span<const std::byte>(block).first(*got));
  }
  checkStatus(source->close());
}

// A copy of the file, on disk (fsync included) when this returns.
void copyFile(Context& c, std::string_view from, std::string_view to) {
  auto created = c.fs->create(c.path(to));
  if (!created) checkStatus(created.error());
  auto& target = *created;
  readFile(c, from, [&target](std::uint64_t offset, std::span<const std::byte> bytes) {
    checkStatus(target->writeAt(offset, bytes));
  });
  checkStatus(target->flush());
  checkStatus(target->close());
}

void erase(Context& c, std::string_view name) {
  if (c.fs->exists(c.path(name))) checkStatus(c.fs->erase(c.path(name)));
}

void openExclusive(Context& c, std::string_view table) {
  check(c.areas.useArea(true, "", table, "", false, false), "useArea");
}

// --- Workloads ----------------------------------------------------------------

// Writes the source table: created through the layer, records as bytes.
void generateSource(Context& c) {
  check(c.areas.createTable(kSource, sourceStructure(), {}, true), "createTable");
  storage::WorkArea& area = c.areas.current();
  Random random(kSeed + 1);
  std::string record;
  for (std::uint32_t r = 1; r <= c.records; ++r) {
    record.assign(1, ' ');
    for (const FieldSpec& f : sourceStructure()) {
      std::size_t at = record.size();
      record.resize(at + static_cast<std::size_t>(f.length), ' ');
      if (f.name == kCharKeyField) {
        record.replace(at, 5, keyOfRecord(r));
      } else {
        storeRandomValue(random, f, record.data() + at);
      }
    }
    check(area.appendRecordBytes(record), "appendRecordBytes");
  }
  c.areas.closeArea();
}

void runRead(Context& c) {
  std::uint64_t total = 0;
  readFile(c, kSource, [&total](std::uint64_t, std::span<const std::byte> bytes) {
    total += bytes.size();
  });
  check(total > 0, "read");
}

void createIndexOn(Context& c, std::string_view indexFile, std::string_view field) {
  openExclusive(c, kSource);
  c.areas.current().createIndex(indexFile, field);
  c.areas.closeArea();
}
void runCreateCharIndex(Context& c) { createIndexOn(c, kCharIndex, kCharKeyField); }
void runCreateNumIndex(Context& c) { createIndexOn(c, kNumIndex, kNumKeyField); }

// The source in the CHAVE order, and the keys of random records.
void prepareSeek(Context& c) {
  openExclusive(c, kSource);
  c.areas.current().addOrders(kCharIndex);
  c.areas.current().setOrder(1);
  Random random(kSeed + 2);
  c.seekKeys.reserve(kSeeks);
  for (std::uint32_t i = 0; i < kSeeks; ++i)
    c.seekKeys.push_back(keyOfRecord(static_cast<std::uint32_t>(random.between(1, c.records))));
}

void runSeek(Context& c) {
  storage::WorkArea& area = c.areas.current();
  for (const std::string& key : c.seekKeys)
    if (!area.seek(FieldValue(key))) throw std::runtime_error("seek " + key + ": not found");
}

// A fresh copy of the source, open, and the rows of its first records.
void prepareAppend(Context& c) {
  copyFile(c, kSource, kAppendTable);
  openExclusive(c, kAppendTable);
  storage::WorkArea& area = c.areas.current();
  for (std::uint32_t r = 1; r <= std::min(kValuePool, c.records); ++r) {
    area.goTo(r);
    Row& row = c.pool.emplace_back();
    for (int i = 1; i <= area.fieldCount(); ++i) row.push_back(area.getField(i));
  }
}

void prepareAppendWithIndex(Context& c) {
  copyFile(c, kCharIndex, kAppendIndex);
  prepareAppend(c);
  c.areas.current().addOrders(kAppendIndex);
}

// Appends with putField on every field; CHAVE takes each new record's own key.
void runAppend(Context& c) {
  storage::WorkArea& area = c.areas.current();
  const int keyPosition = area.fieldPos(kCharKeyField);
  for (std::uint32_t i = 0; i < kAppends; ++i) {
    const Row& row = c.pool[i % c.pool.size()];
    check(area.append(), "append");
    for (std::size_t f = 0; f < row.size(); ++f) area.putField(static_cast<int>(f) + 1, row[f]);
    area.putField(keyPosition, FieldValue(keyOfRecord(c.records + i + 1)));
  }
  c.areas.closeArea();
}

void nothing(Context&) {}
void closeTable(Context& c) { c.areas.closeArea(); }

struct Workload {
  std::string_view name;
  void (*prepare)(Context&);
  void (*run)(Context&);  // the timed part
  void (*finish)(Context&);
  std::array<std::string_view, 2> outputs;  // files the workload leaves, removed after it
  bool listed = true;                       // false: a step of the set-up, not printed
  std::string_view against = {};            // a second baseline its line compares to
  std::uint32_t operations = 0;             // with rate: counted operations of the run
  std::string_view rate = {};
};

// The baseline comes first: every later line is a ratio to it. CHAVE.NTX
// stays for the seeks and the appends with an index.
constexpr std::string_view kBaseline = "read";
const Workload kWorkloads[] = {
    {"generate", nothing, generateSource, nothing, {}, false},
    {"read", nothing, runRead, nothing, {}},
    {"createIndex_char", nothing, runCreateCharIndex, nothing, {}},
    {"createIndex_num", nothing, runCreateNumIndex, nothing, {kNumIndex}},
    {"seek_random", prepareSeek, runSeek, closeTable, {}, true, {}, kSeeks, "seeks/s"},
    {"append_noindex", prepareAppend, runAppend, nothing, {kAppendTable}},
    {"append_index", prepareAppendWithIndex, runAppend, nothing, {kAppendTable, kAppendIndex},
     true, "append_noindex"},
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
  return fastestOf({"--child", "index", std::string(w.name), dir, std::to_string(records)}, repeat);
}

// `, <ratio>x <name><suffix>` against a workload measured before.
std::string ratioText(double seconds, std::string_view name, const std::string& suffix,
                      const std::map<std::string_view, double>& measured) {
  auto it = measured.find(name);
  double ratio = it != measured.end() && it->second > 0 ? seconds / it->second : 0.0;
  char text[96];
  std::snprintf(text, sizeof text, "%.2fx %s%s", ratio, std::string(name).c_str(), suffix.c_str());
  return text;
}

void printLine(const Workload& w, const Measurement& m, const std::string& suffix,
               const std::map<std::string_view, double>& measured) {
  std::string line = std::string(w.name) + suffix;
  char fields[64];
  std::snprintf(fields, sizeof fields, ": %.3f s, ", m.seconds);
  line += fields;
  line += ratioText(m.seconds, kBaseline, suffix, measured);
  std::snprintf(fields, sizeof fields, ", peak %.1f MB",
                static_cast<double>(m.peakBytes) / (1024.0 * 1024.0));
  line += fields;
  if (!w.rate.empty() && m.seconds > 0) {
    std::snprintf(fields, sizeof fields, ", %.0f %s", w.operations / m.seconds,
                  std::string(w.rate).c_str());
    line += fields;
  }
  if (!w.against.empty()) line += ", " + ratioText(m.seconds, w.against, suffix, measured);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

bool runSection(const Options& options, std::uint32_t records, const std::string& dir) {
  std::string suffix = sizeSuffix(records);
  suffix.insert(suffix.begin(), '_');
  std::map<std::string_view, double> measured;
  for (const Workload& w : kWorkloads) {
    auto m = measure(w, dir, records, w.listed ? options.repeat : 1);
    if (!m) return false;
    if (!w.listed) continue;
    measured[w.name] = m->seconds;
    printLine(w, *m, suffix, measured);
  }
  return true;
}

// --- Child side -------------------------------------------------------------------

int runWorkload(const Workload& w, Context& c) {
  w.prepare(c);
  Stopwatch watch;
  w.run(c);
  Measurement m{watch.seconds(), peakResidentBytes()};
  w.finish(c);
  std::printf("%s\n", encodeMeasurement(m).c_str());
  for (std::string_view output : w.outputs)
    if (!output.empty()) erase(c, output);
  return 0;
}

}  // namespace

bool runIndexFamily(const Options& options) {
  std::fprintf(stderr, "index: build %s, seed %llu, %d run(s) per workload, fastest counts\n",
               CONVERTE_BUILD_TYPE, static_cast<unsigned long long>(kSeed), options.repeat);
  bool ok = true;
  for (std::uint32_t records : options.sizes) {
    auto dir = std::filesystem::temp_directory_path() /
               ("converte_bench_index_" + std::to_string(records) + "_" + std::to_string(kSeed));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::fprintf(stderr,
                 "section %s: %u records of 200 bytes, 20 fields, %u seeks, %u appends, in %s\n",
                 sizeSuffix(records).c_str(), records, kSeeks, kAppends, dir.c_str());
    ok = runSection(options, records, dir.string()) && ok;
    std::filesystem::remove_all(dir);
  }
  return ok;
}

int runIndexChild(const std::vector<std::string>& arguments) {
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
