#include "ChildProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

extern char** environ;

namespace arbench {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; }

double FileBytes(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? double(info.st_size) : 0;
}

double ResidentBytes(pid_t pid) {
  std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
  double pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * double(::sysconf(_SC_PAGESIZE));
}

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// Watches a running child every tenth of a second and kills it when it passes a limit; the
// reason stays for the report. The child is not reaped until the watch has ended, so its id
// cannot have been given to another process when the watch kills.
class Watch {
 public:
  Watch(pid_t pid, const std::string& outPath, const ChildLimits& limits)
      : thread_([this, pid, outPath, limits] { Run(pid, outPath, limits); }) {}
  std::string End() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      exited_ = true;
    }
    changed_.notify_all();
    thread_.join();
    return reason_;
  }

 private:
  void Run(pid_t pid, const std::string& outPath, const ChildLimits& limits) {
    const auto start = Clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!changed_.wait_for(lock, std::chrono::milliseconds(100), [&] { return exited_; })) {
      if (std::chrono::duration<double>(Clock::now() - start).count() > limits.seconds)
        reason_ = "killed: ran longer than " + std::to_string(int(limits.seconds)) + " s";
      else if (ResidentBytes(pid) > limits.residentBytes)
        reason_ =
            "killed: held more than " + std::to_string(int(limits.residentBytes / 1e6)) + " MB";
      else if (FileBytes(outPath) > limits.outputBytes)
        reason_ =
            "killed: printed more than " + std::to_string(int(limits.outputBytes / 1e6)) + " MB";
      if (!reason_.empty()) {
        ::kill(pid, SIGKILL);
        return;
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool exited_ = false;
  std::string reason_;
  std::thread thread_;
};

std::string Failure(int status, const std::string& errPath) {
  if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
  if (WEXITSTATUS(status) <= 1) return {};
  return "exit status " + std::to_string(WEXITSTATUS(status)) + ": " + FirstLine(errPath);
}

}  // namespace

Measured RunChild(const std::vector<std::string>& args, const std::string& outPath,
                  const std::string& errPath, const ChildLimits& limits) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  ::posix_spawn_file_actions_init(&files);
  ::posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  ::posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  Measured result;
  pid_t pid = 0;
  const auto start = Clock::now();
  const int spawned = ::posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&files);
  if (spawned != 0) return {0, 0, 0, "cannot start " + args[0]};
  Watch watch(pid, outPath, limits);
  siginfo_t exited{};
  ::waitid(P_PID, id_t(pid), &exited, WEXITED | WNOWAIT);  // leaves it to reap below
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const std::string killed = watch.End();
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  result.peakBytes = double(usage.ru_maxrss) * 1024;
  result.userSeconds = Seconds(usage.ru_utime);
  result.systemSeconds = Seconds(usage.ru_stime);
  result.outputBytes = FileBytes(outPath);
  result.failure = killed.empty() ? Failure(status, errPath) : killed;
  return result;
}

}  // namespace arbench
