// What the C interface's tests share: the reason of the call that failed last, channel records, and
// a small page to write through the interface.
#pragma once

#include <cstdio>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "orvex/orvex_c.h"
#include "support/ImageWords.h"
#include "support/TempDir.h"

using orvex_test::fileBytes;

// The reason of the call that failed last, a temporary file's name shown as its target's + .TMP.
inline std::string lastFailure() {
  const char* reason = nullptr;
  orvex_last_failure(&reason);
  return std::regex_replace(reason, std::regex("\\.[0-9a-f]{12}\\.orvex-tmp"), ".TMP");
}

// A status, then the reason of the call that failed last.
inline std::string reasonOf(orvex_status status) {
  return std::to_string(status) + " " + lastFailure();
}

// A channel record: "kind space c0,c1,c2,c3 opacity", or "kind" without a colour; a name of
// nameSize bytes at `name`.
inline orvex_channel channelOf(const std::string& given, uint32_t nameSize = 0,
                               const char* name = nullptr) {
  orvex_channel channel{};
  channel.struct_size = sizeof channel;
  int v[7] = {};
  channel.has_color = std::sscanf(given.c_str(), "%d %d %d,%d,%d,%d %d", &v[0], &v[1], &v[2], &v[3],
                                  &v[4], &v[5], &v[6]) == 7;
  channel.kind = v[0];
  channel.color_space = v[1];
  for (int i = 0; i < 4; ++i) channel.components[i] = static_cast<uint16_t>(v[2 + i]);
  channel.opacity = static_cast<uint16_t>(v[6]);
  channel.name_size = nameSize;
  channel.name = name;
  return channel;
}

// A 4 x 3 RGB page at 300 pixels an inch with a spot channel, written to folder/leaf.
struct Request {
  std::string folder;
  std::string leaf = "out.tif";
  orvex_page_info info{};
  std::vector<orvex_channel> channels{channelOf("3", 4, "Gold")};
  int32_t planar = ORVEX_PLANAR_CONTIG;

  Request() {
    info.struct_size = sizeof info;
    info.width = 4;
    info.height = 3;
    info.bits_per_sample = 8;
    info.samples_per_pixel = 4;
    info.extra_samples = 1;
    info.sample_format = ORVEX_SAMPLE_FORMAT_UINT;
    info.photometric = ORVEX_PHOTOMETRIC_RGB;
    info.resolution_unit = ORVEX_RESOLUTION_UNIT_INCH;
    info.x_resolution = info.y_resolution = 300.0F;
  }

  // Row y's bytes: noise no codec shrinks, the same for every request.
  std::vector<uint8_t> row(uint32_t y) const {
    std::vector<uint8_t> bytes(size_t{info.width} * info.samples_per_pixel);
    std::mt19937 noise(y);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(noise());
    return bytes;
  }

  // Writes every row; the status of the first that fails.
  orvex_status writeRows(orvex_writer* writer) const {
    for (uint32_t y = 0; y < info.height; ++y) {
      const orvex_status status = orvex_writer_write_scanline(writer, y, row(y).data(),
                                                              info.width * info.samples_per_pixel);
      if (status != ORVEX_STATUS_OK) return status;
    }
    return ORVEX_STATUS_OK;
  }

  // Creates a writer, makes the calls and destroys it: "rows" writes every row, "close", and
  // "row:y:size" and "plane:channel:y:size" give zero bytes. The status of the first that fails.
  orvex_status write(const char* calls = "rows close") const {
    const uint8_t zeros[16] = {};
    orvex_writer* writer = nullptr;
    orvex_status status =
        orvex_writer_create((folder + "/" + leaf).c_str(), &info, channels.data(),
                            static_cast<uint32_t>(channels.size()), planar, &writer);
    for (const std::string& call : orvex_test::split(calls, ' ')) {
      if (status != ORVEX_STATUS_OK) break;
      const std::vector<std::string> words = orvex_test::split(call, ':');
      const auto n = [&](size_t i) { return orvex_test::number(words[i]); };
      status = words[0] == "rows"    ? writeRows(writer)
               : words[0] == "close" ? orvex_writer_close(writer)
               : words[0] == "row"
                   ? orvex_writer_write_scanline(writer, n(1), zeros, n(2))
                   : orvex_writer_write_channel_scanline(writer, n(1), n(2), zeros, n(3));
    }
    orvex_writer_destroy(writer);
    return status;
  }
};
