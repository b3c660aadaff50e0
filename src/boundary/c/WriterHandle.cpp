#include "boundary/c/WriterHandle.h"

#include "boundary/LibtiffMessages.h"
#include "boundary/ModuleLogger.h"
#include "boundary/c/CallRecords.h"
#include "boundary/c/FileReplacement.h"
#include "boundary/c/SystemError.h"

using orvex::kLogError;
using orvex::moduleLogger;

orvex_writer::~orvex_writer() {
  writer_.end();
  if (!closed_ && !temporary_.empty()) {
    orvex::FileReplacement::remove(temporary_);
  }
}

orvex_status orvex_writer::create(const orvex::WriteRequest& request) {
  const orvex_status status = request.check();
  if (status != ORVEX_STATUS_OK) {
    return status;
  }
  target_ = request.path();
  // Checked before anything is written: the rename at the close could not replace a folder.
  if (orvex::FileReplacement::isFolder(target_)) {
    moduleLogger().log(kLogError, "[orvex_writer::create] %s is a folder, not a file!",
                       target_.c_str());
    return ORVEX_STATUS_PERMISSION_DENIED;
  }
  temporary_ = orvex::FileReplacement::temporaryNameFor(target_);
  info_ = request.imageInfo();
  separate_ = request.planar() == ORVEX_PLANAR_SEPARATE;
  writer_.setChannelColors(request.channelColors());
  if (!writer_.begin(temporary_.c_str(), info_, request.planar())) {
    return orvex::SystemError::statusOfOpening(temporary_.c_str(), true,
                                               ORVEX_STATUS_PERMISSION_DENIED);
  }
  return ORVEX_STATUS_OK;
}

orvex_status orvex_writer::write(bool perChannel, uint32_t channel, uint32_t row,
                                 const uint8_t* data, uint32_t size) {
  const orvex_status status = expected(perChannel, channel, row);
  if (status != ORVEX_STATUS_OK) {
    return status;
  }
  const bool ok = perChannel
                      ? writer_.writeScanline(static_cast<uint16_t>(channel), row, data, size)
                      : writer_.writeScanline(row, data, size);
  return written(ok, size);
}

// libtiff compresses each strip as it fills and cannot go back into it, so only the next
// row of the page (or of the current plane) is taken.
orvex_status orvex_writer::expected(bool perChannel, uint32_t channel, uint32_t row) const {
  const char* const kWrite = "orvex_writer::write";
  if (broken_ || closed_ || perChannel != separate_) {
    moduleLogger().log(kLogError, "[%s] the writer takes no %s row now!", kWrite,
                       perChannel ? "per-channel" : "interleaved");
    return ORVEX_STATUS_WRONG_STATE;
  }
  if (nextChannel_ >= planes()) {
    moduleLogger().log(kLogError, "[%s] row %u given, every row is written!", kWrite,
                       static_cast<unsigned>(row));
    return ORVEX_STATUS_OUT_OF_RANGE;
  }
  const uint32_t wantedChannel = separate_ ? nextChannel_ : 0;
  if ((perChannel && channel != wantedChannel) || row != nextRow_) {
    moduleLogger().log(kLogError, "[%s] row %u of channel %u given, row %u of channel %u expected!",
                       kWrite, static_cast<unsigned>(row),
                       static_cast<unsigned>(perChannel ? channel : 0),
                       static_cast<unsigned>(nextRow_), static_cast<unsigned>(wantedChannel));
    return ORVEX_STATUS_WRONG_STATE;
  }
  return ORVEX_STATUS_OK;
}

orvex_status orvex_writer::written(bool ok, uint32_t size) {
  if (ok) {
    advance();
    return ORVEX_STATUS_OK;
  }
  if (size < rowBytes()) {
    return ORVEX_STATUS_INVALID_ARGUMENT;
  }
  broken_ = true;
  return orvex::SystemError::statusOf(orvex::LibtiffMessages::firstError(),
                                      ORVEX_STATUS_DAMAGED_DATA);
}

void orvex_writer::advance() {
  if (++nextRow_ == info_.height) {
    nextRow_ = 0;
    ++nextChannel_;
  }
}

uint32_t orvex_writer::planes() const {
  return separate_ ? info_.samplesPerPixel : 1U;
}

uint64_t orvex_writer::rowBytes() const {
  const uint32_t samples = separate_ ? 1U : info_.samplesPerPixel;
  return (uint64_t{info_.width} * samples * info_.bitsPerSample + 7) / 8;
}

// The directory is written when the file closes, so a full disk may show only here.
orvex_status orvex_writer::close() {
  if (broken_ || closed_ || nextChannel_ < planes()) {
    moduleLogger().log(kLogError, "[orvex_writer::close] %s!",
                       broken_   ? "a row failed, the file is incomplete"
                       : closed_ ? "the file is closed already"
                                 : "rows are missing, the file is incomplete");
    return ORVEX_STATUS_WRONG_STATE;
  }
  writer_.end();
  const orvex::LibtiffError& error = orvex::LibtiffMessages::firstError();
  if (error.reported) {
    broken_ = true;
    moduleLogger().log(kLogError, "[orvex_writer::close] closing %s failed!", temporary_.c_str());
    return orvex::SystemError::statusOf(error, ORVEX_STATUS_DAMAGED_DATA);
  }
  const int failure = orvex::FileReplacement::replace(temporary_, target_);
  if (failure != 0) {
    broken_ = true;
    moduleLogger().log(kLogError, "[orvex_writer::close] %s cannot replace %s!", temporary_.c_str(),
                       target_.c_str());
    orvex::CallRecords::noteSystemError(failure);
    return orvex::SystemError::statusOf(failure, ORVEX_STATUS_PERMISSION_DENIED);
  }
  closed_ = true;
  return ORVEX_STATUS_OK;
}
