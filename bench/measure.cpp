// Peak memory, the measurement line a child prints, and running one workload
// in a child process: this executable started again through the platform
// layer, its standard output read for the measurement.

#include "bench/measure.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "platform/child_process.h"
#include "platform/process_info.h"

namespace converte::bench {

std::uint64_t peakResidentBytes() { return platform::peakResidentBytes(); }

std::string encodeMeasurement(const Measurement& m) {
  std::ostringstream out;
  out.precision(9);
  out << "measurement " << m.seconds << ' ' << m.peakBytes;
  return out.str();
}

std::optional<Measurement> decodeMeasurement(const std::string& line) {
  std::istringstream in(line);
  std::string word;
  Measurement m;
  if (!(in >> word >> m.seconds >> m.peakBytes) || word != "measurement") return std::nullopt;
  return m;
}

std::optional<Measurement> runChild(const std::vector<std::string>& arguments) {
  const std::string program = platform::ownExecutablePath();
  const char* workload = arguments.empty() ? "" : arguments.back().c_str();
  auto child = program.empty() ? platform::Result<std::unique_ptr<platform::ChildProcess>>(
                                     platform::OsError{platform::kOsFileNotFound, "start", ""})
                               : platform::startChildProcess(program, arguments);
  if (!child) {
    std::fprintf(stderr, "child %s could not be started (code %d)\n", workload,
                 child.error().osCode);
    return std::nullopt;
  }
  std::optional<Measurement> measured;
  std::string output;
  for (auto line = (*child)->readLine(); line; line = (*child)->readLine()) {
    if (!measured) measured = decodeMeasurement(*line);
    output += *line + "\n";
  }
  auto status = (*child)->wait();
  if (!status || *status != 0) {
    std::fprintf(stderr, "child %s failed (status %d)\n", workload, status ? *status : -1);
    return std::nullopt;
  }
  if (!measured) std::fprintf(stderr, "child printed no measurement: %s\n", output.c_str());
  return measured;
}

std::optional<Measurement> fastestOf(const std::vector<std::string>& arguments, int repeat) {
  std::optional<Measurement> best;
  for (int i = 0; i < repeat; ++i) {
    auto m = runChild(arguments);
    if (!m) return std::nullopt;
    if (!best) {
      best = m;
    } else {
      best->seconds = std::min(best->seconds, m->seconds);
      best->peakBytes = std::max(best->peakBytes, m->peakBytes);
    }
  }
  return best;
}

std::string sizeSuffix(std::uint64_t records) {
  if (records % 1'000'000 == 0) return std::to_string(records / 1'000'000) + "m";
  if (records % 1'000 == 0) return std::to_string(records / 1'000) + "k";
  return std::to_string(records);
}

}  // namespace converte::bench
