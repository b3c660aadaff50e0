#include "cli/ToolRunner.h"

#if defined(_WIN32)
#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <map>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <thread>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/TempDir.h"

namespace orvex_cli_test {
namespace {

// Read in text mode: Windows' C runtime writes "\r\n" for "\n".
std::string printed(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path));
  return std::string(std::istreambuf_iterator<char>(in), {});
}

#if defined(_WIN32)

std::wstring wide(const std::string& text) {
  return std::filesystem::u8path(text).wstring();
}

// Quoted so that the C runtime's argument parser gives back exactly `argument`: backslashes
// are literal except before a quote, where they and the quote are escaped.
std::wstring quotedArgument(const std::string& argument) {
  std::wstring result = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : wide(argument)) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    result.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    result += c;
  }
  return result.append(backslashes * 2, L'\\') + L"\"";
}

HANDLE inheritableFile(const std::wstring& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, TRUE};
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// This process's environment with `environment` set on top, sorted by name as Windows expects.
std::wstring environmentBlock(const Environment& environment) {
  std::map<std::wstring, std::wstring> entries;  // by upper-case name
  const auto add = [&entries](const std::wstring& entry) {
    std::wstring name = entry.substr(0, entry.find(L'=', 1));  // "=C:=..." entries start with "="
    for (wchar_t& c : name) {
      c = towupper(c);
    }
    entries[name] = entry;
  };
  wchar_t* inherited = GetEnvironmentStringsW();
  for (const wchar_t* entry = inherited; *entry != 0; entry += wcslen(entry) + 1) {
    add(entry);
  }
  FreeEnvironmentStringsW(inherited);
  for (const auto& [name, value] : environment) {
    add(wide(name + "=" + value));
  }
  std::wstring block;
  for (const auto& entry : entries) {
    block += entry.second + L'\0';
  }
  return block + L'\0';
}

int runProcess(const char* program, const std::vector<std::string>& arguments,
               const Environment& environment, const std::string& out, const std::string& err,
               const Stop& /*stop*/) {
  std::wstring commandLine = quotedArgument(program);
  for (const std::string& argument : arguments) {
    commandLine += L" " + quotedArgument(argument);
  }
  std::wstring block = environmentBlock(environment);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = inheritableFile(wide(out), GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = inheritableFile(wide(err), GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION process{};
  DWORD exitCode = static_cast<DWORD>(-1);
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                     CREATE_UNICODE_ENVIRONMENT, environment.empty() ? nullptr : block.data(),
                     nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    CloseHandle(handle);
  }
  return static_cast<int>(exitCode);
}

#else

// Whether a file named *.orvex-tmp lies below `folder`, which the tool may be changing.
bool writing(const std::filesystem::path& folder) {
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator entry(folder, error), end;
       !error && entry != end; entry.increment(error)) {
    if (entry->path().extension() == ".orvex-tmp") {
      return true;
    }
  }
  return false;
}

int runProcess(const char* program, const std::vector<std::string>& arguments,
               const Environment& environment, const std::string& out, const std::string& err,
               const Stop& stop) {
  const pid_t pid = fork();
  if (pid == 0) {
    for (const auto& [name, value] : environment) {
      setenv(name.c_str(), value.c_str(), 1);
    }
    dup2(open("/dev/null", O_RDONLY), 0);
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    if (stop.fileSizeLimit != 0) {
      const rlimit limit{static_cast<rlim_t>(stop.fileSizeLimit),
                         static_cast<rlim_t>(stop.fileSizeLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
      signal(SIGXFSZ, SIG_IGN);        // ignored before exec, it stays ignored
      setenv("ORVEX_LOG_DIR", "", 1);  // no log file, which could not be written either
    }
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& argument : arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execvp(program, argv.data());
    _exit(127);
  }
  int status = 0;
  while (stop.signal != 0 && !writing(stop.watched) && waitpid(pid, &status, WNOHANG) == 0) {
    std::this_thread::yield();
  }
  if (stop.signal != 0) {
    kill(pid, stop.signal);
  }
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

}  // namespace

ToolRun runProgram(const char* program, const std::vector<std::string>& arguments,
                   const Environment& environment, const Stop& stop) {
  orvex_test::TempDir capture;
  const std::string out = capture.file("stdout");
  const std::string err = capture.file("stderr");
  const int exitCode = runProcess(program, arguments, environment, out, err, stop);
  return {exitCode, printed(out), printed(err)};
}

#if defined(_WIN32)
const char* const kTemporaryFolderVariable = "TMP";
#else
const char* const kTemporaryFolderVariable = "TMPDIR";
#endif

}  // namespace orvex_cli_test
