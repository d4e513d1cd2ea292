// Child processes on POSIX: posix_spawn with the child's standard input and
// output on two pipes, read through a buffer one line at a time.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/child_process.h"
#include "platform/posix/handles.h"
#include "platform/posix/os_error.h"

extern char** environ;

namespace converte::platform {
namespace {

class PosixChildProcess final : public ChildProcess {
 public:
  PosixChildProcess(pid_t pid, posix::UniqueFd input, posix::UniqueFd output, std::string program)
      : pid_(pid), input_(std::move(input)), output_(std::move(output)),
        program_(std::move(program)) {}
  ~PosixChildProcess() override { (void)wait(); }

  Status writeLine(const std::string& text) override {
    std::string line = text + "\n";
    std::size_t done = 0;
    while (done < line.size()) {
      ssize_t n = ::write(input_.get(), line.data() + done, line.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return posix::osError(errno, "write", program_);
      done += static_cast<std::size_t>(n);
    }
    return {};
  }

  Result<std::string> readLine() override {
    for (;;) {
      if (auto end = pending_.find('\n'); end != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return line;
      }
      char block[4096];
      ssize_t n = ::read(output_.get(), block, sizeof block);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return posix::osError(errno, "read", program_);
      if (n == 0) return posix::layerError(kOsGeneralFailure, "read", program_);
      pending_.append(block, static_cast<std::size_t>(n));
    }
  }

  Result<int> wait() override {
    if (pid_ <= 0) return status_;
    input_.reset();
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0) {
      if (errno != EINTR) return posix::osError(errno, "wait", program_);
    }
    pid_ = 0;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }

 private:
  pid_t pid_;
  posix::UniqueFd input_;
  posix::UniqueFd output_;
  std::string program_;
  std::string pending_;
  int status_ = 0;
};

}  // namespace

Result<std::unique_ptr<ChildProcess>> startChildProcess(const std::string& program,
                                                        const std::vector<std::string>& arguments) {
  ::signal(SIGPIPE, SIG_IGN);  // a child that ended makes writes fail, not kill us
  int toChild[2];
  int fromChild[2];
  if (::pipe2(toChild, O_CLOEXEC) != 0) return posix::osError(errno, "pipe", program);
  posix::UniqueFd childIn(toChild[0]), parentOut(toChild[1]);
  if (::pipe2(fromChild, O_CLOEXEC) != 0) return posix::osError(errno, "pipe", program);
  posix::UniqueFd parentIn(fromChild[0]), childOut(fromChild[1]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, childIn.get(), STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, childOut.get(), STDOUT_FILENO);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid = 0;
  int err = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) return posix::osError(err, "spawn", program);
  return std::unique_ptr<ChildProcess>(
      new PosixChildProcess(pid, std::move(parentOut), std::move(parentIn), program));
}

}  // namespace converte::platform
