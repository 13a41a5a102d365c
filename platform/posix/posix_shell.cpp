#include "platform/posix/posix_shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace placarim::platform::posix {
namespace {

// Runs in the grandchild: only async-signal-safe calls. Any failure is sent to
// the parent as an errno value; a successful exec closes the pipe instead.
[[noreturn]] void ExecInDirectory(const char* directory, const char* program, char* const argv[],
                                  int report) {
  int error = 0;
  if (directory[0] != '\0' && chdir(directory) != 0) {
    error = errno;
  } else {
    execvp(program, argv);
    error = errno;
  }
  [[maybe_unused]] const ssize_t written = write(report, &error, sizeof error);
  _exit(127);
}

}  // namespace

bool PosixShell::Launch(const std::string& program, const std::vector<std::string>& args,
                        const std::string& directory) {
  if (program.empty()) return false;
  // Everything the children need is built before fork: after it, no allocation.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;

  // Fork twice: the middle child exits at once, so the program is adopted by
  // init and never becomes a zombie of ours.
  const pid_t middle = fork();
  if (middle < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (middle == 0) {
    close(report[0]);
    setsid();
    const pid_t grandchild = fork();
    if (grandchild == 0) ExecInDirectory(directory.c_str(), program.c_str(), argv.data(), report[1]);
    if (grandchild < 0) {
      const int error = errno;
      [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
    }
    _exit(0);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  return got == 0;  // end of file: the exec closed the pipe
}

}  // namespace placarim::platform::posix
