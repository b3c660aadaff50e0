#include "merrow_logger/Logger.h"

#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include <atomic>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace merrow_logger {
namespace {

// `installed` mirrors `observer != nullptr` so that a record nobody observes is dropped
// without taking the lock; the observer itself is only called under the lock.
struct ObserverSlot {
  std::mutex mutex;
  std::atomic<bool> installed{false};
  merrow_logger_observer observer = nullptr;
  void* context = nullptr;
};

ObserverSlot& observerSlot() {
  static ObserverSlot slot;
  return slot;
}

bool observerInstalled() {
  return observerSlot().installed.load(std::memory_order_acquire);
}

void notifyObserver(int level, const char* text) {
  ObserverSlot& slot = observerSlot();
  std::lock_guard<std::mutex> lock(slot.mutex);
  if (slot.observer != nullptr) {
    slot.observer(level, text, slot.context);
  }
}

// Most records fit the stack buffer and are formatted in one pass; longer ones are formatted
// again into a buffer of their size.
class FormattedRecord {
public:
  FormattedRecord(const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(shortText_, sizeof shortText_, format, args);
    if (length >= static_cast<int>(sizeof shortText_)) {
      longText_.resize(static_cast<size_t>(length));
      std::vsnprintf(longText_.data(), longText_.size() + 1, format, again);
    } else if (length < 0) {
      shortText_[0] = '\0';
    }
    va_end(again);
  }
  const char* text() const { return longText_.empty() ? shortText_ : longText_.c_str(); }

private:
  char shortText_[512];
  std::string longText_;
};

// A log named "Orvex" looks for ORVEX_LOG_DIR: the name in capitals, other characters as '_'.
std::string folderVariableOf(const std::string& name) {
  std::string variable;
  for (const char c : name) {
    variable += std::isalnum(static_cast<unsigned char>(c)) != 0
                    ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                    : '_';
  }
  return variable + "_LOG_DIR";
}

std::optional<std::filesystem::path> environmentFolder(const std::string& variable) {
#if defined(_WIN32)
  const wchar_t* value = _wgetenv(std::filesystem::u8path(variable).c_str());
#else
  const char* value = std::getenv(variable.c_str());
#endif
  if (value == nullptr) {
    return std::nullopt;
  }
  return std::filesystem::path(value);
}

std::filesystem::path temporaryFolder() {
  std::error_code error;
  std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::path(".") : temporary;
}

/// The folder of the log file; empty when the file is turned off.
std::filesystem::path logFolder(const char* folder, const std::string& name) {
  if (folder != nullptr && folder[0] != '\0') {
    return std::filesystem::u8path(folder);
  }
  return environmentFolder(folderVariableOf(name)).value_or(temporaryFolder());
}

}  // namespace

// The file is opened with the first record it takes, so that loading a module whose log
// never receives an error leaves no empty file behind.
struct Logger::Impl {
  severity_level threshold = severity_level::error;
  bool flushEveryRecord = false;
  std::string name;
  std::filesystem::path filePath;  ///< empty when the file is turned off
  size_t maxFileBytes = 1048576;
  std::shared_ptr<spdlog::logger> stderrOutput;
  std::once_flag fileOpened;
  std::shared_ptr<spdlog::logger> fileOutput;

  static std::shared_ptr<spdlog::logger> outputTo(const std::string& name, spdlog::sink_ptr sink) {
    auto output = std::make_shared<spdlog::logger>(name, std::move(sink));
    output->set_pattern("%Y-%m-%d %H:%M:%S.%e %v");
    output->set_level(spdlog::level::trace);
    return output;
  }

  // A folder that cannot be written only costs the file output.
  void openFile() {
    try {
      fileOutput = outputTo(name, std::make_shared<spdlog::sinks::rotating_file_sink_mt>(
                                      filePath.string(), maxFileBytes, 1));
    } catch (...) {
      fileOutput.reset();
    }
  }

  void write(spdlog::logger& output, severity_level level, const char* text) const {
    output.info("[{}] {}", static_cast<int>(level), text);
    if (flushEveryRecord || level >= severity_level::error) {
      output.flush();
    }
  }
};

Logger::Logger(const char* name, const char* folder, severity_level threshold, bool copyToStderr,
               bool /*reserved1*/, bool /*reserved2*/, bool flushEveryRecord,
               std::uint64_t maxFileBytes, const char* /*reservedText1*/,
               const char* /*reservedText2*/, const char* /*reservedText3*/)
    : impl_(std::make_unique<Impl>()) {
  impl_->threshold = threshold;
  impl_->flushEveryRecord = flushEveryRecord;
  impl_->name = (name != nullptr && name[0] != '\0') ? name : "merrow";
  impl_->maxFileBytes = maxFileBytes > 0 ? static_cast<size_t>(maxFileBytes) : 1048576;
  try {
    const std::filesystem::path directory = logFolder(folder, impl_->name);
    if (!directory.empty()) {
      impl_->filePath = directory / (impl_->name + ".log");
    }
    if (copyToStderr) {
      impl_->stderrOutput =
          Impl::outputTo(impl_->name, std::make_shared<spdlog::sinks::stderr_sink_mt>());
    }
  } catch (...) {
    impl_->filePath.clear();
  }
}

Logger::~Logger() {
  for (const auto& output : {impl_->fileOutput, impl_->stderrOutput}) {
    try {
      if (output) output->flush();
    } catch (...) {
    }
  }
}

void Logger::log(severity_level level, const char* format, ...) {
  const bool written =
      level >= impl_->threshold && (!impl_->filePath.empty() || impl_->stderrOutput);
  const bool observed = observerInstalled();
  // A record that nobody receives costs no more than these checks.
  if (format == nullptr || !(written || observed)) {
    return;
  }
  try {
    va_list args;
    va_start(args, format);
    const FormattedRecord record(format, args);
    va_end(args);
    if (observed) {
      notifyObserver(static_cast<int>(level), record.text());
    }
    if (!written) {
      return;
    }
    if (!impl_->filePath.empty()) {
      std::call_once(impl_->fileOpened, [this] { impl_->openFile(); });
    }
    for (const auto& output : {impl_->fileOutput, impl_->stderrOutput}) {
      if (output) impl_->write(*output, level, record.text());
    }
  } catch (...) {
    // Logging never fails its caller.
  }
}

}  // namespace merrow_logger

extern "C" void merrow_logger_set_observer(merrow_logger_observer observer, void* context) {
  merrow_logger::ObserverSlot& slot = merrow_logger::observerSlot();
  std::lock_guard<std::mutex> lock(slot.mutex);
  slot.observer = observer;
  slot.context = context;
  slot.installed.store(observer != nullptr, std::memory_order_release);
}
