#include "test_util.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace d88test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  std::random_device device;
  for (;;) {
    const fs::path candidate = fs::temp_directory_path() / ("d88test-" + std::to_string(device()));
    if (fs::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
}

std::string ScratchDir::file(const std::string& name) const { return (fs::path(path_) / name).string(); }

ScratchDir::~ScratchDir() {
  std::error_code ec;
  // Tests make folders unwritable or plant links; undo what blocks removal.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

namespace {
std::string slurp(const std::string& path) {
  const Bytes bytes = readFile(path);
  return std::string(bytes.begin(), bytes.end());
}
}  // namespace

#ifndef _WIN32
RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                     const RunOptions& options) {
  ScratchDir capture;
  const std::string outPath = capture.file("stdout");
  const std::string errPath = capture.file("stderr");
  std::vector<std::string> argvStrings;
  argvStrings.push_back(options.argv0.empty() ? program : options.argv0);
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(dir.c_str()) != 0) _exit(126);
    if (options.fileSizeLimit >= 0) {
      // Writes past the limit then fail with EFBIG instead of killing.
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit;
      limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(options.fileSizeLimit);
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  result.out = slurp(outPath);
  result.err = slurp(errPath);
  return result;
}
#else
RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                     const RunOptions&) {
  // cmd.exe runs the line; the outer quotes keep its own quote handling
  // from eating the inner ones.
  ScratchDir capture;
  auto native = [](const std::string& path) { return fs::path(path).make_preferred().string(); };
  std::string command = "cd /d \"" + native(dir) + "\" && \"" + native(program) + "\"";
  for (const std::string& arg : args) command += " \"" + arg + "\"";
  command += " >\"" + capture.file("stdout") + "\" 2>\"" + capture.file("stderr") + "\"";
  RunResult result;
  result.status = std::system(("\"" + command + "\"").c_str());
  result.out = slurp(capture.file("stdout"));
  result.err = slurp(capture.file("stderr"));
  return result;
}
#endif

std::string console(const std::string& text) {
#ifdef _WIN32
  std::string out;
  for (char ch : text) {
    if (ch == '\n') out += '\r';
    out += ch;
  }
  return out;
#else
  return text;
#endif
}

std::string withoutCr(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

::testing::AssertionResult sameBytes(const Bytes& expected, const Bytes& actual) {
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  if (at == expected.size() && at == actual.size()) return ::testing::AssertionSuccess();
  auto hex = [](const Bytes& bytes, std::size_t from) {
    std::ostringstream out;
    char cell[4];
    for (std::size_t i = from; i < bytes.size() && i < from + 16; ++i) {
      std::snprintf(cell, sizeof cell, "%02x ", bytes[i]);
      out << cell;
    }
    return out.str();
  };
  const std::size_t from = at & ~static_cast<std::size_t>(15);
  return ::testing::AssertionFailure() << "sizes " << expected.size() << " and " << actual.size()
                                       << ", first difference at byte " << at << "\n  expected @" << from << ": "
                                       << hex(expected, from) << "\n  actual   @" << from << ": " << hex(actual, from);
}

Bytes concat(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t to) {
  if (to > bytes.size()) to = bytes.size();
  if (from > to) from = to;
  return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to));
}

}  // namespace d88test
