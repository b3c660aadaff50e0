// The generated benchmark images: pictures of smooth content stored as a TiffSpec says and
// written with the tests' TIFF builder.
#pragma once

#include <cstdint>
#include <string>

#include "support/TiffFileBuilder.h"

namespace orvex_bench {

using orvex_test::TiffSpec;

/// What the cases start from: RGB 8-bit, 4096 x 4096, LZW strips of 16 rows (the smallest
/// strip height JPEG with 2 x 2 subsampling allows, and a common one), orientation 1.
TiffSpec benchImage();

/// Bytes of the whole image as stored uncompressed.
uint64_t rawBytesOf(const TiffSpec& image);

/// Writes `image` with smooth content; throws std::runtime_error.
void writeBenchImage(const std::string& path, const TiffSpec& image);

}  // namespace orvex_bench
