#include "merrow_logger/Logger.h"

#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace merrow_logger {
namespace {

struct ObserverSlot {
  std::mutex mutex;
  merrow_logger_observer observer = nullptr;
  void* context = nullptr;
};

ObserverSlot& observerSlot() {
  static ObserverSlot slot;
  return slot;
}

void notifyObserver(int level, const char* text) {
  ObserverSlot& slot = observerSlot();
  std::lock_guard<std::mutex> lock(slot.mutex);
  if (slot.observer != nullptr) {
    slot.observer(level, text, slot.context);
  }
}

std::string formatRecord(const char* format, va_list args) {
  va_list measuring;
  va_copy(measuring, args);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  if (length <= 0) {
    return std::string();
  }
  std::string text(static_cast<size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

std::filesystem::path logFolder(const char* folder) {
  if (folder != nullptr && folder[0] != '\0') {
    return std::filesystem::u8path(folder);
  }
  std::error_code error;
  std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::path(".") : temporary;
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
    const std::filesystem::path file = logFolder(folder) / (loggerName + ".log");
    sinks.push_back(std::make_shared<spdlog::sinks::rotating_file_sink_mt>(
        file.string(), maxFileBytes > 0 ? static_cast<size_t>(maxFileBytes) : 1048576, 1));
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
  if (format == nullptr) {
    return;
  }
  try {
    va_list args;
    va_start(args, format);
    const std::string text = formatRecord(format, args);
    va_end(args);
    notifyObserver(static_cast<int>(level), text.c_str());
    if (impl_->output && level >= impl_->threshold) {
      impl_->output->info("[{}] {}", static_cast<int>(level), text);
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
}
