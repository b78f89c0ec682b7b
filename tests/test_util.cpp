#include "test_util.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
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

std::vector<std::string> argumentVector(const std::string& program, const std::vector<std::string>& args,
                                        const RunOptions& options) {
  std::vector<std::string> argv;
  argv.push_back(options.argv0.empty() ? program : options.argv0);
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}
}  // namespace

#ifndef _WIN32
// fork and exec: no shell between the test and the program, so nothing but
// the program itself can fail to start or reinterpret an argument.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                     const RunOptions& options) {
  ScratchDir capture;
  const std::string outPath = capture.file("stdout");
  const std::string errPath = capture.file("stderr");
  std::vector<std::string> argvStrings = argumentVector(program, args, options);
  std::vector<char*> argv;
  for (std::string& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  // A program that stops reading its input must not kill the test.
  static const bool pipeIgnored = signal(SIGPIPE, SIG_IGN) != SIG_ERR;
  (void)pipeIgnored;
  int input[2] = {-1, -1};
  if (options.input != nullptr && pipe(input) != 0) return {};

  const pid_t pid = fork();
  if (pid == 0) {
    const int in = options.input != nullptr ? input[0] : open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
        dup2(options.mergeErrors ? out : err, 2) < 0 || chdir(dir.c_str()) != 0) {
      _exit(126);
    }
    if (options.input != nullptr) {
      close(input[0]);
      close(input[1]);
    }
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
  if (options.input != nullptr) {
    close(input[0]);
    // The program's output goes to files, so writing all of its input
    // before waiting cannot deadlock; a program that exits early ends the
    // write with EPIPE.
    const std::uint8_t* data = options.input->data();
    std::size_t left = options.input->size();
    while (pid > 0 && left > 0) {
      const ssize_t wrote = write(input[1], data, left);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) break;
      data += wrote;
      left -= static_cast<std::size_t>(wrote);
    }
    close(input[1]);
  }
  RunResult result;
  int status = 0;
  pid_t waited = -1;
  if (pid > 0) {
    do {
      waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
  }
  if (waited == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  result.out = slurp(outPath);
  result.err = slurp(errPath);
  return result;
}
#else
namespace {

std::wstring widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// One argument quoted so that the C runtime's parser gives it back as it
// is: backslashes are literal except before a quote, where they double.
std::wstring quoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t ch : arg) {
    if (ch == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(ch == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    out.push_back(ch);
  }
  out.append(2 * backslashes, L'\\');
  return out + L"\"";
}

HANDLE inheritable(const std::wstring& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

// CreateProcessW with the argument vector quoted for the C runtime: no
// command interpreter between the test and the program.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                     const RunOptions& options) {
  ScratchDir capture;
  RunResult result;
  std::wstring commandLine;
  for (const std::string& arg : argumentVector(program, args, options)) {
    if (!commandLine.empty()) commandLine += L' ';
    commandLine += quoteArgument(widen(arg));
  }
  const std::wstring application = fs::path(program).make_preferred().wstring();
  const std::wstring directory = fs::path(dir).make_preferred().wstring();

  HANDLE out = inheritable(widen(capture.file("stdout")), GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE err = inheritable(widen(capture.file("stderr")), GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE in = INVALID_HANDLE_VALUE;
  HANDLE feed = INVALID_HANDLE_VALUE;
  if (options.input != nullptr) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
    if (!CreatePipe(&in, &feed, &attributes, 0)) in = feed = INVALID_HANDLE_VALUE;
    if (feed != INVALID_HANDLE_VALUE) SetHandleInformation(feed, HANDLE_FLAG_INHERIT, 0);
  } else {
    in = inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = options.mergeErrors ? out : err;
  PROCESS_INFORMATION process{};
  const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE && in != INVALID_HANDLE_VALUE &&
                       CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      directory.c_str(), &startup, &process);
  for (HANDLE h : {in, out, err}) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  if (feed != INVALID_HANDLE_VALUE) {
    // The output goes to files, so writing all of the input before waiting
    // cannot deadlock; a program that exits early breaks the pipe.
    const std::uint8_t* data = options.input->data();
    std::size_t left = started ? options.input->size() : 0;
    while (left > 0) {
      DWORD wrote = 0;
      const DWORD chunk = left > 65536 ? 65536 : static_cast<DWORD>(left);
      if (!WriteFile(feed, data, chunk, &wrote, nullptr) || wrote == 0) break;
      data += wrote;
      left -= wrote;
    }
    CloseHandle(feed);
  }
  if (started) {
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code)) {
      result.status = static_cast<int>(code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
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
