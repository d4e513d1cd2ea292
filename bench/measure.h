// Timing and peak memory of one benchmark workload, and running a workload
// in a child process of its own so that its peak is its own. measure.cpp is
// the only bench file that talks to the operating system.

#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace converte::bench {

// Wall-clock seconds since construction (or the last restart).
class Stopwatch {
 public:
  Stopwatch() : start_(std::chrono::steady_clock::now()) {}
  void restart() { start_ = std::chrono::steady_clock::now(); }
  double seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_;
};

// What a workload's child process reports.
struct Measurement {
  double seconds = 0;
  std::uint64_t peakBytes = 0;  // the child's peak resident memory
};

// The highest resident memory of this process so far, in bytes.
std::uint64_t peakResidentBytes();

// The line a child writes to its standard output, and its reading back.
std::string encodeMeasurement(const Measurement& m);
std::optional<Measurement> decodeMeasurement(const std::string& line);

// Runs the child with these arguments repeat times: the fastest run, with
// the highest peak any of them reached; nullopt when one failed.
std::optional<Measurement> fastestOf(const std::vector<std::string>& arguments, int repeat);

// How a line names its size section: 100k, 1m, or the number itself.
std::string sizeSuffix(std::uint64_t records);

// Runs this executable again with the arguments in a child process, waits
// for it and reads the measurement it printed. nullopt (with the reason on
// stderr) when the child failed or printed none.
std::optional<Measurement> runChild(const std::vector<std::string>& arguments);

}  // namespace converte::bench
