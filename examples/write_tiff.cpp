// A host that writes a small RGB picture through Orvex, with two named extra channels: an
// alpha channel "Alpha" and a spot-colour channel "Varnish".
//
//   orvex_example_write OUT.tif [interleaved|separate]
//
// `interleaved` (the default) hands over each row with the five samples of every pixel side
// by side; `separate` hands over one channel at a time and the file stores each channel as a
// plane of its own. Both give the same picture when read back. Exit status: 0 when the file
// was written, 1 when writing failed, 2 on bad usage.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "orvex/orvex.h"

namespace {

constexpr uint32_t kWidth = 64;
constexpr uint32_t kHeight = 48;
constexpr uint16_t kSamples = 5;  // red, green, blue, then the two extra channels

// Values of TIFF's PlanarConfiguration tag, which is what the writer's `begin` takes.
constexpr int32_t kInterleaved = 1;
constexpr int32_t kSeparate = 2;

// Red and green ramp across and down, blue mixes both, the alpha fades from left to right and
// the varnish is a checkerboard of 8-pixel squares.
uint8_t sampleAt(uint32_t x, uint32_t y, uint16_t channel) {
  switch (channel) {
    case 0:
      return static_cast<uint8_t>(x * 4);
    case 1:
      return static_cast<uint8_t>(y * 5);
    case 2:
      return static_cast<uint8_t>((x ^ y) * 3);
    case 3:
      return static_cast<uint8_t>(255 - x * 2);
    default:
      return ((x / 8 + y / 8) % 2) != 0 ? 200 : 0;
  }
}

TiffImageInfo pictureDescription() {
  TiffImageInfo info;
  info.width = kWidth;
  info.height = kHeight;
  info.bitsPerSample = 8;
  info.samplesPerPixel = kSamples;
  info.extraSamples = 2;
  // One record per extra sample, in sample order. The kind of a spot channel and every name
  // travel in the file's Photoshop image resources, which the reader decodes again.
  info.channels = {{TiffChannelType::UnassociatedAlpha, "Alpha"},
                   {TiffChannelType::SpotColor, "Varnish"}};
  info.sampleFormat = TiffSampleFormat::Uint;
  info.photometric = TiffPhotometric::Rgb;
  info.xResolution = 300.0F;
  info.yResolution = 300.0F;
  info.resolutionUnit = TiffResolutionUnit::Inch;
  return info;
}

bool writeInterleaved(ITiffWriter& writer) {
  std::vector<uint8_t> row(size_t{kWidth} * kSamples);
  for (uint32_t y = 0; y < kHeight; ++y) {
    for (uint32_t x = 0; x < kWidth; ++x) {
      for (uint16_t channel = 0; channel < kSamples; ++channel) {
        row[size_t{x} * kSamples + channel] = sampleAt(x, y, channel);
      }
    }
    if (!writer.writeScanline(y, row.data(), static_cast<uint32_t>(row.size()))) {
      return false;
    }
  }
  return true;
}

// Strips are compressed as they fill, so each plane is written whole, top row first, before
// the next one begins.
bool writeSeparate(ITiffWriter& writer) {
  std::vector<uint8_t> row(kWidth);
  for (uint16_t channel = 0; channel < kSamples; ++channel) {
    for (uint32_t y = 0; y < kHeight; ++y) {
      for (uint32_t x = 0; x < kWidth; ++x) {
        row[x] = sampleAt(x, y, channel);
      }
      if (!writer.writeScanline(channel, y, row.data(), static_cast<uint32_t>(row.size()))) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool separate = argc == 3 && std::strcmp(argv[2], "separate") == 0;
  if (argc < 2 || argc > 3 ||
      (argc == 3 && !separate && std::strcmp(argv[2], "interleaved") != 0)) {
    std::fprintf(stderr, "usage: %s OUT.tif [interleaved|separate]\n", argv[0]);
    return 2;
  }
  std::unique_ptr<ITiffWriter, void (*)(ITiffWriter*)> writer(createTiffWriter(),
                                                              destroyTiffWriter);
  bool written = false;
  try {
    written = writer->begin(argv[1], pictureDescription(), separate ? kSeparate : kInterleaved) &&
              (separate ? writeSeparate(*writer) : writeInterleaved(*writer));
  } catch (const std::exception& error) {
    // A file or channel name that is not valid UTF-8 leaves begin() as an exception.
    std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
  }
  // end() writes the directory and closes the file; until then the file is incomplete.
  writer->end();
  if (!written) {
    // The writer explains its failures by level-4 records, which the library's log also
    // appends to Orvex.log in the system's temporary folder.
    std::fprintf(stderr, "%s: not written; see Orvex.log in the temporary folder\n", argv[1]);
    return 1;
  }
  std::printf("%s: %u x %u RGB, 8 bits, alpha \"Alpha\", spot colour \"Varnish\", %s\n", argv[1],
              kWidth, kHeight, separate ? "separate planes" : "interleaved");
  return 0;
}
