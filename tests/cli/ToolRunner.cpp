#include "cli/ToolRunner.h"

#if defined(_WIN32)
#include <windows.h>

#include <filesystem>
#else
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"

namespace orvex_cli_test {
namespace {

std::string readText(const std::string& path, std::ios::openmode mode) {
  std::ifstream in(path, mode);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// What the tool printed, read in text mode: Windows' C runtime writes "\r\n" for "\n".
std::string readOutput(const std::string& path) {
  return readText(path, std::ios::in);
}

#if defined(_WIN32)

// Quoted so that the C runtime's argument parser gives back exactly `argument`: backslashes
// are literal except before a quote, where they and the quote are escaped.
std::wstring quotedArgument(const std::string& argument) {
  std::wstring result = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : std::filesystem::u8path(argument).wstring()) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    result.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    result += c;
  }
  result.append(backslashes * 2, L'\\');
  return result + L"\"";
}

HANDLE inheritableFile(const std::wstring& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, TRUE};
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Sets the variables in this process, where the child inherits them, for one run.
class ScopedEnvironment {
public:
  explicit ScopedEnvironment(const Environment& environment) {
    for (const auto& [name, value] : environment) {
      const std::wstring wideName = std::filesystem::u8path(name).wstring();
      wchar_t previous[32768];
      const DWORD length = GetEnvironmentVariableW(wideName.c_str(), previous, 32768);
      saved_.push_back({wideName, std::wstring(previous, length), length > 0});
      SetEnvironmentVariableW(wideName.c_str(), std::filesystem::u8path(value).c_str());
    }
  }
  ~ScopedEnvironment() {
    for (const Saved& saved : saved_) {
      SetEnvironmentVariableW(saved.name.c_str(), saved.existed ? saved.value.c_str() : nullptr);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
  struct Saved {
    std::wstring name;
    std::wstring value;
    bool existed;
  };
  std::vector<Saved> saved_;
};

int runProcess(const char* program, const std::vector<std::string>& arguments,
               const Environment& environment, const std::string& out, const std::string& err) {
  std::wstring commandLine = quotedArgument(program);
  for (const std::string& argument : arguments) {
    commandLine += L" " + quotedArgument(argument);
  }
  const ScopedEnvironment scoped(environment);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = inheritableFile(std::filesystem::u8path(out), GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = inheritableFile(std::filesystem::u8path(err), GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION process{};
  DWORD exitCode = static_cast<DWORD>(-1);
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
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

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return result + "'";
}

std::string commandLine(const char* program, const std::vector<std::string>& arguments) {
  std::string command = quoted(program);
  for (const std::string& argument : arguments) {
    command += " " + quoted(argument);
  }
  return command;
}

int runProcess(const char* program, const std::vector<std::string>& arguments,
               const Environment& environment, const std::string& out, const std::string& err) {
  std::string command;
  for (const auto& [name, value] : environment) {
    command += name + "=" + quoted(value) + " ";
  }
  command +=
      commandLine(program, arguments) + " >" + quoted(out) + " 2>" + quoted(err) + " </dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

ToolRun runProgram(const char* program, const std::vector<std::string>& arguments,
                   const Environment& environment) {
  orvex_test::TempDir capture;
  const std::string out = capture.file("stdout");
  const std::string err = capture.file("stderr");
  ToolRun run;
  run.exitCode = runProcess(program, arguments, environment, out, err);
  run.out = readOutput(out);
  run.err = readOutput(err);
  return run;
}

}  // namespace

#if defined(_WIN32)
const char* const kTemporaryFolderVariable = "TMP";

// A console program under test has no pseudo-terminal to draw on here.
bool runToolOnTerminal(const std::vector<std::string>& /*arguments*/, std::string& /*output*/) {
  return false;
}
#else
const char* const kTemporaryFolderVariable = "TMPDIR";

bool runToolOnTerminal(const std::vector<std::string>& arguments, std::string& output) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) {
    return false;
  }
  orvex_test::TempDir capture;
  const std::string file = capture.file("terminal");
  const std::string line = "script -qec " + quoted(commandLine(ORVEX_CLI_BINARY, arguments)) +
                           " /dev/null >" + quoted(file) + " 2>&1 </dev/null";
  std::system(line.c_str());
  output = readOutput(file);
  return true;
}
#endif

ToolRun runTool(const std::vector<std::string>& arguments, const Environment& environment) {
  return runProgram(ORVEX_CLI_BINARY, arguments, environment);
}

ToolRun runReadExample(const std::string& file) {
  return runProgram(ORVEX_READ_EXAMPLE_BINARY, {file}, {});
}

std::string readTextFile(const std::string& path) {
  return readText(path, std::ios::binary);
}

bool commandLineCarries(const std::vector<std::string>& arguments) {
#if defined(_WIN32)
  try {
    for (const std::string& argument : arguments) {
      std::filesystem::u8path(argument).wstring();
    }
  } catch (const std::exception&) {
    return false;
  }
#else
  (void)arguments;
#endif
  return true;
}

std::string expanded(std::string text, const std::map<std::string, std::string>& values) {
  for (const auto& [key, value] : values) {
    const std::string placeholder = "{" + key + "}";
    for (size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
      text.replace(at, placeholder.size(), value);
    }
  }
  return text;
}

std::vector<std::string> argumentsOf(const std::string& line,
                                     const std::map<std::string, std::string>& values) {
  std::vector<std::string> arguments;
  std::istringstream words(line);
  for (std::string word; words >> word;) {
    arguments.push_back(expanded(word, values));
  }
  return arguments;
}

}  // namespace orvex_cli_test
