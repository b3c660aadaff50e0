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

struct Logger::Impl {
  severity_level threshold = severity_level::error;
  bool flushEveryRecord = false;
  std::shared_ptr<spdlog::logger> output;
};

Logger::Logger(const char* name, const char* folder, severity_level threshold, bool copyToStderr,
               bool /*reserved1*/, bool /*reserved2*/, bool flushEveryRecord,
               std::uint64_t maxFileBytes, const char* /*reservedText1*/,
               const char* /*reservedText2*/, const char* /*reservedText3*/)
    : impl_(std::make_unique<Impl>()) {
  impl_->threshold = threshold;
  impl_->flushEveryRecord = flushEveryRecord;
  const std::string loggerName = (name != nullptr && name[0] != '\0') ? name : "merrow";
  std::vector<spdlog::sink_ptr> sinks;
  try {
    const std::filesystem::path directory = logFolder(folder, loggerName);
    if (!directory.empty()) {
      sinks.push_back(std::make_shared<spdlog::sinks::rotating_file_sink_mt>(
          (directory / (loggerName + ".log")).string(),
          maxFileBytes > 0 ? static_cast<size_t>(maxFileBytes) : 1048576, 1));
    }
  } catch (...) {
    // An unwritable log folder only costs the file output; the observer and stderr remain.
  }
  if (copyToStderr) {
    sinks.push_back(std::make_shared<spdlog::sinks::stderr_sink_mt>());
  }
  try {
    impl_->output = std::make_shared<spdlog::logger>(loggerName, sinks.begin(), sinks.end());
    impl_->output->set_pattern("%Y-%m-%d %H:%M:%S.%e %v");
    impl_->output->set_level(spdlog::level::trace);
  } catch (...) {
    impl_->output.reset();
  }
}

Logger::~Logger() {
  if (impl_ && impl_->output) {
    try {
      impl_->output->flush();
    } catch (...) {
    }
  }
}

void Logger::log(severity_level level, const char* format, ...) {
  const bool written = impl_->output && level >= impl_->threshold;
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
    if (written) {
      impl_->output->info("[{}] {}", static_cast<int>(level), record.text());
      if (impl_->flushEveryRecord || level >= severity_level::error) {
        impl_->output->flush();
      }
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
