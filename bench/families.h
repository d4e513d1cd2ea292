// The benchmark families converte_bench knows. A family runs its workloads,
// each in a child process, and prints one line per workload; the child side
// runs one workload of the family and reports its measurement.

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace converte::bench {

struct Options {
  std::vector<std::uint32_t> sizes{100'000, 1'000'000};  // records per section
  int repeat = 3;  // runs per workload; the fastest counts
};

// Parent side: every workload of the family; false when one failed.
bool runStorageFamily(const Options& options);
// Child side: one workload, arguments as the parent passed them.
int runStorageChild(const std::vector<std::string>& arguments);

// The index family: building, seeking and maintaining NTX orders.
bool runIndexFamily(const Options& options);
int runIndexChild(const std::vector<std::string>& arguments);

// The migrate family: whole runs of the migration over a generated company.
bool runMigrateFamily(const Options& options);
int runMigrateChild(const std::vector<std::string>& arguments);

}  // namespace converte::bench
