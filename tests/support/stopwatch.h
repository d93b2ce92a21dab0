#pragma once

#include <sys/resource.h>

#include <chrono>

namespace kd::test {

// Wall time and the CPU time this process used, since construction, in seconds.
class Stopwatch {
 public:
  double Wall() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count(); }
  double Cpu() const { return CpuNow() - cpu_; }

 private:
  static double CpuNow() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
  }

  std::chrono::steady_clock::time_point wall_ = std::chrono::steady_clock::now();
  double cpu_ = CpuNow();
};

}  // namespace kd::test
