// subprocess.h - runs a built program as a child process for end-to-end
// tests: standard input from /dev/null, standard output and error captured,
// the exit status or the ending signal reported. A test may wait for a text
// on standard output before it signals the child (to press Ctrl-C at a known
// point of the program's work).
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

struct ProcessResult {
  int exitCode = -1; // -1 when the child ended by a signal or never ran
  int signal = 0;    // the signal that ended it, 0 if none
  std::string out;
  std::string err;
};

class Subprocess {
 public:
  // Starts argv[0] with the arguments argv[1...], in folder `cwd` when given.
  explicit Subprocess(const std::vector<std::string> &argv, const std::string &cwd = "") {
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (argv.empty() || pipe(outPipe) != 0) return;
    if (pipe(errPipe) != 0) {
      close(outPipe[0]);
      close(outPipe[1]);
      return;
    }
    std::vector<char *> args;
    for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      const int in = open("/dev/null", O_RDONLY);
      if (in >= 0) dup2(in, STDIN_FILENO);
      dup2(outPipe[1], STDOUT_FILENO);
      dup2(errPipe[1], STDERR_FILENO);
      close(outPipe[0]);
      close(errPipe[0]);
      if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
      execv(args[0], args.data());
      _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
    if (pid_ < 0) closePipes();
  }

  ~Subprocess() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
    closePipes();
  }
  Subprocess(const Subprocess &) = delete;
  Subprocess &operator=(const Subprocess &) = delete;

  bool started() const { return pid_ > 0; }

  // Reads the child's output until its standard output holds `text`; false
  // when the output ends first.
  bool waitForStdout(const std::string &text) {
    while (result_.out.find(text) == std::string::npos)
      if (!readSome()) return result_.out.find(text) != std::string::npos;
    return true;
  }

  void sendSignal(int number) {
    if (pid_ > 0 && !reaped_) kill(pid_, number);
  }

  // Reads the rest of the output and waits for the child to end.
  ProcessResult finish() {
    while (readSome()) {
    }
    if (pid_ > 0 && !reaped_) {
      int status = 0;
      while (waitpid(pid_, &status, 0) < 0) {
      }
      reaped_ = true;
      if (WIFEXITED(status)) result_.exitCode = WEXITSTATUS(status);
      if (WIFSIGNALED(status)) result_.signal = WTERMSIG(status);
    }
    return result_;
  }

 private:
  // Waits for output on either pipe and appends it; false once both ended.
  bool readSome() {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (outFd_ < 0 && errFd_ < 0) return false;
    if (poll(fds, 2, -1) < 0) return true;
    char buffer[4096];
    std::string *targets[2] = {&result_.out, &result_.err};
    int *descriptors[2] = {&outFd_, &errFd_};
    for (int i = 0; i < 2; ++i) {
      if (*descriptors[i] < 0 || fds[i].revents == 0) continue;
      const ssize_t n = read(*descriptors[i], buffer, sizeof buffer);
      if (n > 0) {
        targets[i]->append(buffer, size_t(n));
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        close(*descriptors[i]);
        *descriptors[i] = -1;
      }
    }
    return true;
  }

  void closePipes() {
    if (outFd_ >= 0) close(outFd_);
    if (errFd_ >= 0) close(errFd_);
    outFd_ = errFd_ = -1;
  }

  pid_t pid_ = -1;
  bool reaped_ = false;
  int outFd_ = -1;
  int errFd_ = -1;
  ProcessResult result_;
};

// Runs a program to its end.
inline ProcessResult runProcess(const std::vector<std::string> &argv, const std::string &cwd = "") {
  Subprocess child(argv, cwd);
  return child.finish();
}
