// The generated benchmark images: pictures of smooth content stored as a TiffSetup says and
// written with the tests' TIFF builder.
#pragma once

#include <cstdint>
#include <string>

#include "support/TiffFileBuilder.h"

namespace orvex_bench {

using orvex_test::TiffSetup;

/// What the cases start from: RGB 8-bit, 4096 x 4096, LZW strips of 16 rows (the smallest
/// strip height JPEG with 2 x 2 subsampling allows, and a common one), orientation 1.
TiffSetup benchImage();

/// Bytes of the whole image as stored uncompressed.
uint64_t rawBytesOf(const TiffSetup& image);

/// Writes `image` with smooth content; throws std::runtime_error.
void writeBenchImage(const std::string& path, const TiffSetup& image);

}  // namespace orvex_bench
