#include "ChildProcess.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace orvex_bench {

std::string ChildProcess::run(const std::vector<std::string>& argv, ChildUsage* usage) {
  int pipeEnds[2];
  if (argv.empty() || pipe(pipeEnds) != 0) {
    throw std::runtime_error("cannot start a child process");
  }
  const pid_t pid = fork();
  if (pid < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
      args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string output;
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
    output.append(buffer, static_cast<size_t>(got));
  }
  close(pipeEnds[0]);
  int status = 0;
  rusage used{};
  wait4(pid, &status, 0, &used);
  if (usage != nullptr) {
    const auto seconds = [](const timeval& t) {
      return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    usage->cpuSeconds = seconds(used.ru_utime) + seconds(used.ru_stime);
    usage->peakBytes = static_cast<uint64_t>(used.ru_maxrss) * 1024;  // Linux counts KiB
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("child process " + argv[0] + " failed");
  }
  return output;
}

}  // namespace orvex_bench
