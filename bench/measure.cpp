// Peak resident memory from the kernel's own count, and child processes
// through fork and exec of this executable with a pipe for the result.

#include "bench/measure.h"

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace converte::bench {
namespace {

// VmHWM of /proc/self/status: the high-water mark of this process image
// only (getrusage would keep the parent's figure across exec).
std::uint64_t highWaterKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6));
  }
  return 0;
}

std::string ownExecutable() {
  char path[4096];
  ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  return std::string(path, static_cast<std::size_t>(n));
}

[[noreturn]] void execChild(const std::string& program, const std::vector<std::string>& arguments,
                            int writeEnd) {
  ::dup2(writeEnd, STDOUT_FILENO);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  std::fprintf(stderr, "exec(%s): %s\n", program.c_str(), std::strerror(errno));
  ::_exit(127);
}

std::string readAll(int fd) {
  std::string text;
  char chunk[512];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
  }
  return text;
}

}  // namespace

std::uint64_t peakResidentBytes() { return highWaterKilobytes() * 1024; }

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
  const std::string program = ownExecutable();
  int ends[2];
  if (program.empty() || ::pipe(ends) != 0) {
    std::fprintf(stderr, "runChild: %s\n", std::strerror(errno));
    return std::nullopt;
  }
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ends[0]);
    execChild(program, arguments, ends[1]);
  }
  ::close(ends[1]);
  std::string output = pid > 0 ? readAll(ends[0]) : std::string();
  ::close(ends[0]);
  int status = 0;
  while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "child %s failed (status %d)\n",
                 arguments.empty() ? "" : arguments.back().c_str(), status);
    return std::nullopt;
  }
  auto m = decodeMeasurement(output.substr(0, output.find('\n')));
  if (!m) std::fprintf(stderr, "child printed no measurement: %s\n", output.c_str());
  return m;
}

}  // namespace converte::bench
