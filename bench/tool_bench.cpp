// Whole-run benchmark of d88cut against its floors, in one table.
//
//   tool_bench D88CUT D88INFO [RUNS]
//
// Makes a 64-disk image of about 80 MB (63 filler 2HD disks, the system disk
// last) and the system disk alone, then times, interleaved, after warm-up:
// d88cut on each, d88cut with no argument (its own start-up), and cat of the
// large image to /dev/null, in an order that turns every round. With strace on the PATH it also counts the bytes
// d88cut reads from the large image and its read calls. Last, d88cut on the
// worst case for lookups: chains of empty records. Linux only.
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "d88_builder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Runs argv in `dir` with stdout and stderr to /dev/null, started directly
// (no shell); returns seconds, or -1 when it could not run or was killed.
// (d88cut with no argument exits with status 1, which counts as a run.)
double run(const std::vector<std::string>& args, const std::string& dir, long* maxRssKb = nullptr) {
  std::vector<char*> argv;
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const fs::path back = fs::current_path();
  fs::current_path(dir);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  int status = 0;
  struct rusage usage {};
  const bool ran = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
                   wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) && WEXITSTATUS(status) != 127;
  if (maxRssKb != nullptr) *maxRssKb = usage.ru_maxrss;
  const auto end = std::chrono::steady_clock::now();
  fs::current_path(back);
  posix_spawn_file_actions_destroy(&actions);
  return ran ? std::chrono::duration<double>(end - start).count() : -1;
}

double timeRun(const std::vector<std::string>& args, const std::string& dir) {
  const double seconds = run(args, dir);
  if (seconds < 0) {
    std::fprintf(stderr, "tool_bench: cannot run %s\n", args[0].c_str());
    std::exit(1);
  }
  return seconds;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Reads {
  long long bytes = 0;
  long long calls = 0;
};

// Bytes read from `image`, and the read calls, in an strace log of
// read-family calls (-y).
Reads readsOf(const std::string& log, const std::string& image) {
  std::ifstream in(log);
  std::string line;
  Reads total;
  const std::string tag = "<" + image + ">";
  while (std::getline(in, line)) {
    if (line.find(tag) == std::string::npos) continue;
    std::size_t call = line.find_first_not_of("0123456789 ");
    if (call == std::string::npos || line.compare(call, 4, "read") != 0) {
      if (call == std::string::npos || line.compare(call, 5, "pread") != 0) continue;
    }
    const std::size_t eq = line.rfind("= ");
    if (eq == std::string::npos) continue;
    const long long n = std::atoll(line.c_str() + eq + 2);
    ++total.calls;
    if (n > 0) total.bytes += n;
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: tool_bench D88CUT D88INFO [RUNS]\n", stderr);
    return 1;
  }
  const std::string tool = fs::absolute(argv[1]).string();
  const std::string info = fs::absolute(argv[2]).string();
  const int runs = argc > 3 ? std::max(15, std::atoi(argv[3])) : 31;
  const int warmup = 5;
  const fs::path work = fs::temp_directory_path() / ("d88bench-" + std::to_string(getpid()));
  fs::create_directories(work / "out");
  const std::string large = (work / "large.d88").string();
  const std::string single = (work / "system.d88").string();
  const std::string out = (work / "out").string();
  if (!d88test::writeFile(large, d88test::largeImage()) ||
      !d88test::writeFile(single, d88test::buildImage({d88test::systemDisk()}))) {
    std::fputs("tool_bench: cannot write the images\n", stderr);
    return 1;
  }
  const long long largeSize = static_cast<long long>(fs::file_size(large));
  // A collection: 190 real-size images of several kinds, as a folder of
  // dumps holds them.
  const fs::path collection = work / "collection";
  fs::create_directories(collection);
  const d88test::Bytes kinds[] = {d88test::buildImage({d88test::systemDisk()}), d88test::zeroPaddedImage(),
                                  d88test::buildImage({d88test::incompleteSystemDisk()}),
                                  d88test::buildImage({d88test::fillerDisk2HD(1)})};
  std::vector<std::string> collectionFiles;
  long long collectionSize = 0;
  for (int i = 0; i < 190; ++i) {
    const std::string path = (collection / ("image-" + std::to_string(i) + ".d88")).string();
    const d88test::Bytes& bytes = kinds[i % 4];
    if (!d88test::writeFile(path, bytes)) {
      std::fputs("tool_bench: cannot write the collection\n", stderr);
      return 1;
    }
    collectionFiles.push_back(path);
    collectionSize += static_cast<long long>(bytes.size());
  }
  std::vector<std::string> infoCollection = {info, "--json"}, catCollection = {"cat"};
  infoCollection.insert(infoCollection.end(), collectionFiles.begin(), collectionFiles.end());
  catCollection.insert(catCollection.end(), collectionFiles.begin(), collectionFiles.end());

  struct Case {
    const char* label;
    std::vector<std::string> argv;
    std::vector<double> times;
  };
  std::vector<Case> cases = {
      {"d88cut, 64-disk image", {tool, large}, {}},
      {"d88cut, system disk alone", {tool, single}, {}},
      {"d88cut, no argument (start-up)", {tool}, {}},
      {"cat 64-disk image > /dev/null", {"cat", large}, {}},
      {"d88info, 64-disk image", {info, large}, {}},
      {"d88info --json, 64-disk image", {info, "--json", large}, {}},
      {"d88info --json, 190 images", infoCollection, {}},
      {"cat 190 images > /dev/null", catCollection, {}},
  };
  // The order turns each round, so that every case follows every other
  // equally often: cat of 81 MB leaves the CPU caches cold for whichever
  // case comes next.
  for (int i = 0; i < warmup + runs; ++i) {
    for (std::size_t k = 0; k < cases.size(); ++k) {
      Case& c = cases[(k + static_cast<std::size_t>(i)) % cases.size()];
      const double t = timeRun(c.argv, out);
      if (i >= warmup) c.times.push_back(t);
    }
  }
  const double big = median(cases[0].times), alone = median(cases[1].times), floor = median(cases[2].times),
               cat = median(cases[3].times);

  std::printf("d88cut benchmark: median of %d runs each, after %d warm-up runs, interleaved\n", runs, warmup);
  std::printf("  64-disk image %lld bytes (%.1f MB); system disk alone %lld bytes\n\n", largeSize, largeSize / 1e6,
              static_cast<long long>(fs::file_size(single)));
  std::printf("  %-36s %10s   %s\n", "case", "median ms", "ratio");
  std::printf("  %-36s %10.3f   %.2fx the system disk alone (scale)\n", cases[0].label, big * 1e3, big / alone);
  std::printf("  %-36s %10.3f   %.2fx the start-up (floor)\n", cases[1].label, alone * 1e3, alone / floor);
  std::printf("  %-36s %10.3f   1.00\n", cases[2].label, floor * 1e3);
  std::printf("  %-36s %10.3f   %.1fx d88cut on the 64-disk image\n", cases[3].label, cat * 1e3, cat / big);
  const double inspect = median(cases[4].times);
  std::printf("  %-36s %10.3f   %.2fx cat (target <= 3x)\n", cases[4].label, inspect * 1e3, inspect / cat);
  const double json = median(cases[5].times), jsonMany = median(cases[6].times), catMany = median(cases[7].times);
  std::printf("  %-36s %10.3f   %.2fx cat (target <= 3x)\n", cases[5].label, json * 1e3, json / cat);
  std::printf("  %-36s %10.3f   %.2fx cat of them (target <= 3x); %.1f MB in all\n", cases[6].label, jsonMany * 1e3,
              jsonMany / catMany, static_cast<double>(collectionSize) / 1e6);
  std::printf("  %-36s %10.3f\n", cases[7].label, catMany * 1e3);

  // Memory: the JSON view holds one disk's report at a time, so the 64-disk
  // image needs no more than one of its disks alone.
  // A spawned child shares this process's memory until it runs the
  // program, and its peak counts that: give the memory back and reset this
  // process's peak first.
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  long rssLarge = 0, rssSingle = 0;
  run({info, "--json", large}, out, &rssLarge);
  run({info, "--json", single}, out, &rssSingle);
  std::printf("\n  peak memory of d88info --json: 64-disk image %ld KB, system disk alone %ld KB (%.2fx)\n", rssLarge,
              rssSingle, static_cast<double>(rssLarge) / static_cast<double>(rssSingle));

  const std::string log = (work / "strace.log").string();
  const bool traced = run({"strace", "-y", "-e", "trace=read,pread64,readv,preadv", "-o", log, tool, large}, out) >= 0;
  const Reads reads = traced ? readsOf(log, large) : Reads{-1, -1};
  if (traced) {
    std::printf("\n  d88cut on the 64-disk image reads %lld bytes of %lld (%.3f%%) in %lld read calls\n", reads.bytes,
                largeSize, 100.0 * static_cast<double>(reads.bytes) / static_cast<double>(largeSize), reads.calls);
  } else {
    std::printf("\n  bytes read: strace not available\n");
  }

  // The worst case for lookups: every track of every disk points at one
  // chain of 65,535 empty records, the system label last.
  const std::string chain1 = (work / "chain-1.d88").string();
  const std::string chain64 = (work / "chain-64.d88").string();
  d88test::writeFile(chain1, d88test::emptyChainImage(65535, 1));
  d88test::writeFile(chain64, d88test::emptyChainImage(65535, 64));
  std::vector<double> small, big64, infoSmall, infoJson;
  for (int i = 0; i < 5; ++i) {
    small.push_back(timeRun({tool, chain1}, out));
    big64.push_back(timeRun({tool, chain64}, out));
    infoSmall.push_back(timeRun({info, chain1}, out));
    infoJson.push_back(timeRun({info, "--json", chain1}, out));
  }
  const double chainSmall = median(small), chainBig = median(big64);
  const double infoChain = std::max(median(infoSmall), median(infoJson));
  std::printf("\n  empty-record chains, median of 5 runs:\n");
  std::printf("  %-36s %10.3f   target <= 100 ms\n", "d88cut, 1 disk (1.0 MB)", chainSmall * 1e3);
  std::printf("  %-36s %10.3f   target <= 1000 ms\n", "d88cut, 64 disks (67 MB)", chainBig * 1e3);
  std::printf("  %-36s %10.3f   target <= 500 ms\n", "d88info, 1 disk (1.0 MB)", median(infoSmall) * 1e3);
  std::printf("  %-36s %10.3f   target <= 500 ms\n", "d88info --json, 1 disk (1.0 MB)", median(infoJson) * 1e3);

  auto verdict = [](bool ok) { return ok ? "met" : "NOT met"; };
  std::printf(
      "\n  targets: scale <= 1.10x %s; floor <= 1.30x %s; bytes <= 1%% %s; chains %s; d88info %s; --json %s; "
      "--json memory %s\n",
      verdict(big / alone <= 1.10), verdict(alone / floor <= 1.30),
      reads.bytes < 0 ? "unknown" : verdict(reads.bytes * 100 <= largeSize),
      verdict(chainSmall <= 0.1 && chainBig <= 1.0), verdict(inspect <= 3 * cat && infoChain <= 0.5),
      verdict(json <= 3 * cat && jsonMany <= 3 * catMany), verdict(rssLarge <= 2 * rssSingle));
  std::error_code ec;
  fs::remove_all(work, ec);
  return 0;
}
