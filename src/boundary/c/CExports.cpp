// The entry points of the C interface: each checks its pointers and hands the work to a
// handle inside CallGuard::run, so that no exception leaves the library.
#include <memory>
#include <new>

#include "boundary/LibtiffMessages.h"
#include "boundary/ModuleLogger.h"
#include "boundary/Version.h"
#include "boundary/c/CallGuard.h"
#include "boundary/c/CmykToSrgbHandle.h"
#include "boundary/c/LogRelay.h"
#include "boundary/c/ReaderHandle.h"
#include "boundary/c/Vocabulary.h"
#include "boundary/c/WriterHandle.h"
#include "orvex/orvex_c.h"

using orvex::CallGuard;

namespace {

// True when any of the pointers is null, after a level-4 record naming the entry point.
template <class... Pointers>
bool anyNull(const char* entry, const Pointers*... pointers) {
  const bool missing = ((pointers == nullptr) || ...);
  if (missing) {
    orvex::moduleLogger().log(orvex::kLogError, "[%s] a required pointer is null!", entry);
  }
  return missing;
}

}  // namespace

extern "C" {

orvex_status orvex_interface_version(int32_t* version) {
  return CallGuard::run([&] {
    if (anyNull("orvex_interface_version", version)) {
      return ORVEX_STATUS_INVALID_ARGUMENT;
    }
    *version = ORVEX_C_INTERFACE_VERSION;
    return ORVEX_STATUS_OK;
  });
}

orvex_status orvex_version(uint32_t* major, uint32_t* minor, uint32_t* patch, const char** text) {
  return CallGuard::run([&] {
    for (auto [out, value] : {std::pair{major, orvex::kVersionMajor},
                              {minor, orvex::kVersionMinor},
                              {patch, orvex::kVersionPatch}}) {
      if (out != nullptr) {
        *out = value;
      }
    }
    if (text != nullptr) {
      *text = orvex::kVersionText;
    }
    return ORVEX_STATUS_OK;
  });
}

orvex_status orvex_last_failure(const char** reason) {
  if (reason == nullptr) {
    return ORVEX_STATUS_INVALID_ARGUMENT;
  }
  *reason = orvex::CallRecords::lastFailure();
  return ORVEX_STATUS_OK;
}

orvex_status orvex_set_log_callback(orvex_log_callback callback, void* user_data) {
  return CallGuard::run([&] {
    orvex::LogRelay::setCallback(callback, user_data);
    return ORVEX_STATUS_OK;
  });
}

orvex_status orvex_route_libtiff_messages(int32_t enabled) {
  return CallGuard::run([&] {
    orvex::LibtiffMessages::route(enabled != 0);
    return ORVEX_STATUS_OK;
  });
}

orvex_status orvex_word(int32_t vocabulary, int32_t value, const char** word) {
  return CallGuard::run([&] {
    return anyNull("orvex_word", word) ? ORVEX_STATUS_INVALID_ARGUMENT
                                       : orvex::Vocabulary::word(vocabulary, value, word);
  });
}

orvex_status orvex_display_text(int32_t vocabulary, int32_t value, const char** text) {
  return CallGuard::run([&] {
    return anyNull("orvex_display_text", text)
               ? ORVEX_STATUS_INVALID_ARGUMENT
               : orvex::Vocabulary::displayText(vocabulary, value, text);
  });
}

orvex_status orvex_parse_word(int32_t vocabulary, const char* word, int32_t* value) {
  return CallGuard::run([&] {
    return anyNull("orvex_parse_word", word, value)
               ? ORVEX_STATUS_INVALID_ARGUMENT
               : orvex::Vocabulary::parse(vocabulary, word, value);
  });
}

orvex_status orvex_reader_open(const char* path, orvex_reader** reader) {
  return CallGuard::run([&] {
    if (anyNull("orvex_reader_open", reader)) {
      return ORVEX_STATUS_INVALID_ARGUMENT;
    }
    *reader = nullptr;
    orvex::LogRelay::attach();
    auto opened = std::make_unique<orvex_reader>();
    const orvex_status status = opened->open(path);
    if (status == ORVEX_STATUS_OK) {
      *reader = opened.release();
    }
    return status;
  });
}

orvex_status orvex_reader_destroy(orvex_reader* reader) {
  return CallGuard::run([&] {
    delete reader;
    return ORVEX_STATUS_OK;
  });
}

orvex_status orvex_reader_page_count(orvex_reader* reader, uint32_t* count) {
  return CallGuard::run([&] {
    return anyNull("orvex_reader_page_count", reader, count) ? ORVEX_STATUS_INVALID_ARGUMENT
                                                             : reader->pageCount(count);
  });
}

orvex_status orvex_reader_select_page(orvex_reader* reader, uint32_t page) {
  return CallGuard::run([&] {
    return anyNull("orvex_reader_select_page", reader) ? ORVEX_STATUS_INVALID_ARGUMENT
                                                       : reader->selectPage(page);
  });
}

orvex_status orvex_reader_page_info(orvex_reader* reader, orvex_page_info* info) {
  return CallGuard::run([&] {
    return anyNull("orvex_reader_page_info", reader, info) ? ORVEX_STATUS_INVALID_ARGUMENT
                                                           : reader->pageInfo(info);
  });
}

orvex_status orvex_reader_channel(orvex_reader* reader, uint32_t index, orvex_channel* channel) {
  return CallGuard::run([&] {
    return anyNull("orvex_reader_channel", reader, channel) ? ORVEX_STATUS_INVALID_ARGUMENT
                                                            : reader->channel(index, channel);
  });
}

orvex_status orvex_reader_read_scanline(orvex_reader* reader, uint32_t scanline,
                                        const uint8_t** data, uint32_t* size) {
  return CallGuard::run([&] {
    return anyNull("orvex_reader_read_scanline", reader, data, size)
               ? ORVEX_STATUS_INVALID_ARGUMENT
               : reader->read(scanline, data, size);
  });
}

orvex_status orvex_reader_read_channel_scanline(orvex_reader* reader, uint32_t channel,
                                                uint32_t scanline, const uint8_t** data,
                                                uint32_t* size) {
  return CallGuard::run([&] {
    return anyNull("orvex_reader_read_channel_scanline", reader, data, size)
               ? ORVEX_STATUS_INVALID_ARGUMENT
               : reader->read(channel, scanline, data, size);
  });
}

orvex_status orvex_reader_read_scanlines(orvex_reader* reader, uint32_t first, uint32_t count,
                                         uint8_t* buffer, uint64_t stride, uint64_t buffer_size) {
  return CallGuard::run([&] {
    return anyNull("orvex_reader_read_scanlines", reader)
               ? ORVEX_STATUS_INVALID_ARGUMENT
               : reader->readScanlines(-1, first, count, {buffer, stride, buffer_size});
  });
}

orvex_status orvex_reader_read_channel_scanlines(orvex_reader* reader, uint32_t channel,
                                                 uint32_t first, uint32_t count, uint8_t* buffer,
                                                 uint64_t stride, uint64_t buffer_size) {
  return CallGuard::run([&] {
    return anyNull("orvex_reader_read_channel_scanlines", reader)
               ? ORVEX_STATUS_INVALID_ARGUMENT
               : reader->readScanlines(static_cast<int64_t>(channel), first, count,
                                       {buffer, stride, buffer_size});
  });
}

orvex_status orvex_writer_create(const char* path, const orvex_page_info* info,
                                 const orvex_channel* channels, uint32_t channel_count,
                                 int32_t planar, orvex_writer** writer) {
  return CallGuard::run([&] {
    if (anyNull("orvex_writer_create", writer)) {
      return ORVEX_STATUS_INVALID_ARGUMENT;
    }
    *writer = nullptr;
    orvex::LogRelay::attach();
    auto created = std::make_unique<orvex_writer>();
    const orvex_status status =
        created->create(orvex::WriteRequest(path, info, channels, channel_count, planar));
    if (status == ORVEX_STATUS_OK) {
      *writer = created.release();
    }
    return status;
  });
}

orvex_status orvex_writer_write_scanline(orvex_writer* writer, uint32_t row, const uint8_t* data,
                                         uint32_t size) {
  return CallGuard::run([&] {
    return anyNull("orvex_writer_write_scanline", writer, data)
               ? ORVEX_STATUS_INVALID_ARGUMENT
               : writer->write(false, 0, row, data, size);
  });
}

orvex_status orvex_writer_write_channel_scanline(orvex_writer* writer, uint32_t channel,
                                                 uint32_t row, const uint8_t* data, uint32_t size) {
  return CallGuard::run([&] {
    return anyNull("orvex_writer_write_channel_scanline", writer, data)
               ? ORVEX_STATUS_INVALID_ARGUMENT
               : writer->write(true, channel, row, data, size);
  });
}

orvex_status orvex_writer_close(orvex_writer* writer) {
  return CallGuard::run([&] {
    return anyNull("orvex_writer_close", writer) ? ORVEX_STATUS_INVALID_ARGUMENT : writer->close();
  });
}

orvex_status orvex_writer_destroy(orvex_writer* writer) {
  return CallGuard::run([&] {
    delete writer;
    return ORVEX_STATUS_OK;
  });
}

orvex_status orvex_cmyk_to_srgb_create(const uint8_t* icc_profile, uint32_t icc_profile_size,
                                       uint16_t bits_per_sample, uint16_t samples_per_pixel,
                                       int32_t* built_in, orvex_cmyk_to_srgb** converter) {
  return CallGuard::run([&] {
    if (anyNull("orvex_cmyk_to_srgb_create", converter)) {
      return ORVEX_STATUS_INVALID_ARGUMENT;
    }
    *converter = nullptr;
    auto created = std::make_unique<orvex_cmyk_to_srgb>();
    const orvex_status status =
        created->create(icc_profile_size == 0 ? nullptr : icc_profile, icc_profile_size,
                        bits_per_sample, samples_per_pixel);
    if (status == ORVEX_STATUS_OK) {
      if (built_in != nullptr) {
        *built_in = created->builtIn() ? 1 : 0;
      }
      *converter = created.release();
    }
    return status;
  });
}

orvex_status orvex_cmyk_to_srgb_convert(orvex_cmyk_to_srgb* converter, const uint8_t* pixels,
                                        uint32_t count, uint8_t* srgb) {
  return CallGuard::run([&] {
    if (anyNull("orvex_cmyk_to_srgb_convert", converter, pixels, srgb)) {
      return ORVEX_STATUS_INVALID_ARGUMENT;
    }
    converter->convert(pixels, count, srgb);
    return ORVEX_STATUS_OK;
  });
}

orvex_status orvex_cmyk_to_srgb_destroy(orvex_cmyk_to_srgb* converter) {
  return CallGuard::run([&] {
    delete converter;
    return ORVEX_STATUS_OK;
  });
}

}  // extern "C"
