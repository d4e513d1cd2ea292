// Running another program to its end with posix_spawn, and looking a
// program up on the PATH.

#include "platform/posix/run_and_wait.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "platform/posix/os_error.h"

extern char** environ;

namespace converte::platform::posix {
namespace {

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// Frees the spawn attributes however the start ends.
class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

Result<int> waitFor(pid_t pid, const std::string& program) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return osError(errno, "wait", program);
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

}  // namespace

Result<int> runAndWait(const std::string& program, const std::vector<std::string>& arguments) {
  SpawnActions actions;
  posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  pid_t pid = 0;
  int err = posix_spawn(&pid, program.c_str(), actions.get(), nullptr, argv.data(), environ);
  if (err != 0) return osError(err, "spawn", program);
  return waitFor(pid, program);
}

std::optional<std::string> findExecutable(const std::string& name) {
  if (name.empty()) return std::nullopt;
  if (name.find('/') != std::string::npos) {
    if (isExecutableFile(name)) return name;
    return std::nullopt;
  }
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    std::size_t colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    if (isExecutableFile(candidate)) return candidate;
    if (colon == std::string_view::npos) return std::nullopt;
    dirs.remove_prefix(colon + 1);
  }
}

}  // namespace converte::platform::posix
