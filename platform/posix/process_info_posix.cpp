// The process's own executable and peak resident memory, as Linux reports
// them under /proc/self.

#include "platform/process_info.h"

#include <unistd.h>

#include <fstream>

namespace converte::platform {

std::string ownExecutablePath() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  return std::string(path, static_cast<std::size_t>(n));
}

// VmHWM is this process's own high-water mark, also for a child started
// from another program (the resource usage of a process would carry its
// parent's figure across an exec).
std::uint64_t peakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
  }
  return 0;
}

}  // namespace converte::platform
