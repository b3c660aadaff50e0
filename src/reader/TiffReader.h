// The reader handed to hosts: one open file, one directory being read at a time.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "orvex/ITiffReader.h"
#include "psd/PSDImageResources.h"
#include "reader/DirectoryChain.h"

namespace orvex {

class TiffLineAdjuster;
class TiffLineReaderBase;
struct TiffInfo;

class TiffReader : public ITiffReader {
public:
  TiffReader() = default;
  ~TiffReader() override;
  TiffReader(const TiffReader&) = delete;
  TiffReader& operator=(const TiffReader&) = delete;

  bool begin(const char* fileName) override;
  uint16_t getNumberOfDirectories() override;
  bool beginReadSubDir(uint16_t dirIndex) override;
  TiffImageInfo getImageInfo() override;
  bool isRowScanline() override;
  bool readScanline(uint16_t channel, uint32_t row, uint8_t** data, uint32_t* size) override;
  bool readScanline(uint32_t row, uint8_t** data, uint32_t* size) override;
  void endReadSubDir() override;
  void end() override;

  /// Delivered scanlines [first, first + count) of every sample (channel < 0) or of one
  /// channel, laid into `dest` `stride` bytes apart: the bytes of the scanline calls, with
  /// their log records. The caller checks the range and that `stride` holds a scanline.
  bool readScanlines(int channel, uint32_t first, uint32_t count, uint8_t* dest, size_t stride);
  /// Bytes of one delivered scanline of every sample, or of one channel; 0 without a
  /// directory begun.
  int64_t scanlineBytes(bool oneChannel) const;
  /// How the directory stores the samples it delivers (PLANARCONFIG_CONTIG or _SEPARATE); 0
  /// without a directory begun.
  uint16_t storedPlanarConfig() const;
  /// Stored rows per strip, or per row of tiles, at most the length; 0 without a directory.
  uint32_t storedRowsPerBlock() const;
  /// The colours of the extra channels, as the last getImageInfo() found them in the
  /// Photoshop image resources; empty when the directory has none.
  const ChannelColors& channelColors() const { return channelColors_; }

private:
  bool openFile(const char* fileName);
  /// The line reader for directory `dirIndex`, or empty when the directory is refused.
  std::shared_ptr<TiffLineReaderBase> createSuitableTiffLineReader(uint16_t dirIndex);
  /// The current directory's adjuster when a directory was begun successfully, else null.
  const TiffLineAdjuster* readyAdjuster() const;
  std::vector<TiffChannelInfo> channels();
  template <typename Read>
  bool readRow(Read read);

  TIFF* tif_ = nullptr;
  DirectoryChain directories_;  ///< the directory count and where each directory starts
  std::shared_ptr<TiffLineReaderBase> lineReader_;
  ChannelColors channelColors_;
  /// The records of the begun directory's extra samples: as the file stores them (which the
  /// Photoshop resources name) and as they are delivered.
  std::vector<TiffChannelInfo> storedChannels_;
  std::vector<TiffChannelInfo> servedChannels_;
};

}  // namespace orvex
