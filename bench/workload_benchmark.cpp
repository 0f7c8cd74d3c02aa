// Times tradepl on generated workloads beside `wc -l` on the same files, and prints the
// median wall time, throughput, peak memory and the figures the project holds itself to:
// at most 12 x the time of wc -l at N = 500,000 and 13 x at N = 2,000,000, and a peak
// memory of at most 32 MB that does not grow with the logs.
//
//   workload_benchmark TRADEPL GENERATOR FOLDER [runs] [small N] [large N]
//
// POSIX only: it forks the commands and reads their resource use with wait4.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Sample {
  double seconds = 0;
  double peakMegabytes = 0;
};

Sample runOnce(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);  // or the child's copy of the buffer is printed again
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const auto stop = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "command failed: %s\n", command[0].c_str());
    std::exit(1);
  }
  return {std::chrono::duration<double>(stop - start).count(), usage.ru_maxrss / 1024.0};
}

Sample median(const std::vector<std::string>& command, int runs) {
  std::vector<Sample> samples;
  for (int i = 0; i < runs; ++i) samples.push_back(runOnce(command));
  std::sort(samples.begin(), samples.end(),
            [](const Sample& a, const Sample& b) { return a.seconds < b.seconds; });
  Sample middle = samples[samples.size() / 2];
  for (const Sample& s : samples)
    middle.peakMegabytes = std::max(middle.peakMegabytes, s.peakMegabytes);
  return middle;
}

struct Measured {
  double inputMegabytes = 0;
  Sample tradepl;
  Sample wc;
};

Measured measure(const std::string& tradepl, const std::string& generator,
                 const std::filesystem::path& folder, long lines, int runs, double timeTarget) {
  const std::string n = std::to_string(lines);
  const std::string spot = (folder / ("spot-" + n + ".csv")).string();
  const std::string margin = (folder / ("margin-" + n + ".csv")).string();
  const std::string out = (folder / ("result-" + n + ".csv")).string();
  if (!std::filesystem::exists(spot) || !std::filesystem::exists(margin)) {
    runOnce({generator, n, spot, margin});
  }
  Measured m;
  m.inputMegabytes = (std::filesystem::file_size(spot) + std::filesystem::file_size(margin)) / 1e6;
  runOnce({tradepl, "-g", spot, "-s", margin, out});  // warm the page cache
  m.tradepl = median({tradepl, "-g", spot, "-s", margin, out}, runs);
  m.wc = median({"wc", "-l", spot, margin}, runs);
  std::printf("N = %ld per log, input %.1f MB\n", lines, m.inputMegabytes);
  std::printf("  tradepl  median %.3f s  %.0f MB/s  peak %.1f MB (target <= 32)\n",
              m.tradepl.seconds, m.inputMegabytes / m.tradepl.seconds, m.tradepl.peakMegabytes);
  std::printf("  wc -l    median %.3f s\n", m.wc.seconds);
  std::printf("  time ratio tradepl / wc -l: %.1f (target <= %.0f)\n",
              m.tradepl.seconds / m.wc.seconds, timeTarget);
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: workload_benchmark TRADEPL GENERATOR FOLDER [runs] [N] [N]\n");
    return 2;
  }
  const int runs = argc > 4 ? std::atoi(argv[4]) : 5;
  const long small = argc > 5 ? std::atol(argv[5]) : 500000;
  const long large = argc > 6 ? std::atol(argv[6]) : 2000000;
  std::filesystem::create_directories(argv[3]);

  const Measured a = measure(argv[1], argv[2], argv[3], small, runs, 12);
  const Measured b = measure(argv[1], argv[2], argv[3], large, runs, 13);
  std::printf("growth N=%ld / N=%ld: time %.2f x, memory %.2f x for %.2f x input\n", large, small,
              b.tradepl.seconds / a.tradepl.seconds,
              b.tradepl.peakMegabytes / a.tradepl.peakMegabytes,
              b.inputMegabytes / a.inputMegabytes);
  return 0;
}
