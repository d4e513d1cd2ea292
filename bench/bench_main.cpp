// converte_bench: `converte_bench <family> [--sizes N,N...] [--repeat N]`
// runs a family of workloads; `converte_bench --child <family> ...` is how
// the family re-invokes this executable to run one workload on its own.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "bench/families.h"

namespace {

using converte::bench::Options;

struct Family {
  std::string_view name;
  bool (*run)(const Options&);
  int (*child)(const std::vector<std::string>&);
};

constexpr Family kFamilies[] = {
    {"storage", converte::bench::runStorageFamily, converte::bench::runStorageChild},
    {"index", converte::bench::runIndexFamily, converte::bench::runIndexChild},
    {"migrate", converte::bench::runMigrateFamily, converte::bench::runMigrateChild},
};

const Family* familyNamed(std::string_view name) {
  for (const Family& f : kFamilies)
    if (f.name == name) return &f;
  return nullptr;
}

std::vector<std::uint32_t> parseSizes(const std::string& text) {
  std::vector<std::uint32_t> sizes;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t comma = text.find(',', at);
    if (comma == std::string::npos) comma = text.size();
    sizes.push_back(static_cast<std::uint32_t>(std::stoul(text.substr(at, comma - at))));
    at = comma + 1;
  }
  return sizes;
}

int usage() {
  std::fprintf(stderr, "usage: converte_bench <family> [--sizes N,N...] [--repeat N]\nfamilies:");
  for (const Family& f : kFamilies) std::fprintf(stderr, " %.*s", int(f.name.size()), f.name.data());
  std::fprintf(stderr, "\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 2 && args[0] == "--child") {
    const Family* family = familyNamed(args[1]);
    if (!family) return usage();
    return family->child(std::vector<std::string>(args.begin() + 2, args.end()));
  }
  if (args.empty()) return usage();
  const Family* family = familyNamed(args[0]);
  if (!family) return usage();
  Options options;
  for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--sizes") {
      options.sizes = parseSizes(args[i + 1]);
    } else if (args[i] == "--repeat") {
      options.repeat = std::max(1, std::atoi(args[i + 1].c_str()));
    } else {
      return usage();
    }
  }
  return family->run(options) ? 0 : 1;
}
