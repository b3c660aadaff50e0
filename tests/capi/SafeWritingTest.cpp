// Writing through the C interface never harms the target: every way a write can fail, from a
// refused description to a full disk, leaves an existing target byte for byte as it was and
// no temporary file beside it; and a page written reads back as it was given.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "PageStory.h"
#include "orvex/orvex_c.h"
#include "support/TempDir.h"
#include "support/Transcript.h"

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

const std::string kPrevious = "the target as it was";

orvex_channel named(int32_t kind, uint32_t nameSize, const char* name) {
  orvex_channel channel{};
  channel.struct_size = sizeof channel;
  channel.kind = kind;
  channel.name_size = nameSize;
  channel.name = name;
  return channel;
}

// A small RGB page with a spot channel, and what a case changes in it.
struct Request {
  std::string folder;
  std::string leaf = "out.tif";
  orvex_page_info info{sizeof(orvex_page_info),
                       4,
                       3,
                       0,
                       8,
                       4,
                       1,
                       0,
                       ORVEX_SAMPLE_FORMAT_UINT,
                       ORVEX_PHOTOMETRIC_RGB,
                       ORVEX_RESOLUTION_UNIT_INCH,
                       300.0F,
                       300.0F,
                       0,
                       nullptr,
                       0,
                       0,
                       0,
                       0};
  std::vector<orvex_channel> channels{named(ORVEX_CHANNEL_SPOT, 4, "Gold")};
  int32_t planar = ORVEX_PLANAR_CONTIG;

  orvex_status create(orvex_writer** writer) const {
    return orvex_writer_create((folder + "/" + leaf).c_str(), &info, channels.data(),
                               static_cast<uint32_t>(channels.size()), planar, writer);
  }
};

std::string lastFailure() {
  const char* reason = nullptr;
  orvex_last_failure(&reason);
  return std::regex_replace(reason, std::regex("\\.[0-9a-f]{12}\\.orvex-tmp"), ".TMP");
}

// Writes every row of the request's page; the status of the first that fails.
orvex_status writeRows(orvex_writer* writer, const Request& request) {
  const std::vector<uint8_t> row(request.info.width * request.info.samples_per_pixel, 7);
  for (uint32_t y = 0; y < request.info.height; ++y) {
    const orvex_status status =
        orvex_writer_write_scanline(writer, y, row.data(), static_cast<uint32_t>(row.size()));
    if (status != ORVEX_STATUS_OK) return status;
  }
  return ORVEX_STATUS_OK;
}

struct FailureCase {
  const char* name;
  std::function<void(Request&)> change;
  // Drives a writer that was created; the status of the call that fails.
  std::function<orvex_status(orvex_writer*, const Request&)> drive;
  orvex_status status;
  std::string reason;
};

orvex_status rowsThenClose(orvex_writer* writer, const Request& request) {
  const orvex_status status = writeRows(writer, request);
  return status != ORVEX_STATUS_OK ? status : orvex_writer_close(writer);
}

const uint8_t kRow[16] = {};

const FailureCase kFailures[] = {
    {"a byte UTF-8 never uses in a name", [](Request& r) { r.channels[0] = named(3, 2, "G\xFF"); },
     rowsThenClose, ORVEX_STATUS_INVALID_ARGUMENT,
     "[WriteRequest::check] channel 0: name is not well-formed UTF-8!"},
    {"a surrogate encoded in 4 bytes, overlong",
     [](Request& r) { r.channels[0] = named(3, 4, "\xF0\x8D\xA0\x80"); }, rowsThenClose,
     ORVEX_STATUS_INVALID_ARGUMENT,
     "[WriteRequest::check] channel 0: name is not well-formed UTF-8!"},
    {"name cut inside a character", [](Request& r) { r.channels[0] = named(3, 2, "G\xC3"); },
     rowsThenClose, ORVEX_STATUS_INVALID_ARGUMENT,
     "[WriteRequest::check] channel 0: name is not well-formed UTF-8!"},
    {"a colour space beyond 16 bits",
     [](Request& r) {
       r.channels[0].has_color = 1;
       r.channels[0].color_space = 70000;
     },
     rowsThenClose, ORVEX_STATUS_INVALID_ARGUMENT,
     "[WriteRequest::check] channel 0: color_space(70000) is not a colour space (0 to 65535)!"},
    {"a negative colour space",
     [](Request& r) {
       r.channels[0].has_color = 1;
       r.channels[0].color_space = -1;
     },
     rowsThenClose, ORVEX_STATUS_INVALID_ARGUMENT,
     "[WriteRequest::check] channel 0: color_space(-1) is not a colour space (0 to 65535)!"},
    {"fewer channel records than extra samples", [](Request& r) { r.channels.clear(); },
     rowsThenClose, ORVEX_STATUS_INVALID_ARGUMENT,
     "[WriteRequest::check] 0 channel records for extra_samples(1)!"},
    {"RGB with two colour samples", [](Request& r) { r.info.samples_per_pixel = 3; }, rowsThenClose,
     ORVEX_STATUS_REFUSED,
     "[WriteRequest::check] photometric(2) needs 3 colour samples, more than samples(3) - "
     "extra(1)!"},
    {"LogLuv, which the reader takes only SGILOG-compressed",
     [](Request& r) { r.info.photometric = ORVEX_PHOTOMETRIC_LOG_LUV; }, rowsThenClose,
     ORVEX_STATUS_REFUSED, "[WriteRequest::check] photometric(10) is not written!"},
    {"samples of 4 bits side by side", [](Request& r) { r.info.bits_per_sample = 4; },
     rowsThenClose, ORVEX_STATUS_REFUSED,
     "[WriteRequest::check] 4 samples of 4 bits are read only as separate planes!"},
    {"samples of 12 bits", [](Request& r) { r.info.bits_per_sample = 12; }, rowsThenClose,
     ORVEX_STATUS_REFUSED,
     "[WriteRequest::check] bits_per_sample(12) is not 1, 2, 4 or 8 to 64 by 8!"},
    {"a negative resolution", [](Request& r) { r.info.y_resolution = -1.0F; }, rowsThenClose,
     ORVEX_STATUS_INVALID_ARGUMENT,
     "[WriteRequest::check] resolution 300 x -1 is not finite and at least 0!"},
    {"an older, shorter struct", [](Request& r) { r.info.struct_size = 8; }, rowsThenClose,
     ORVEX_STATUS_INVALID_ARGUMENT,
     "[WriteRequest::check] page info missing or struct_size(8) < 56!"},
    {"a folder that is not there", [](Request& r) { r.leaf = "missing/out.tif"; }, rowsThenClose,
     ORVEX_STATUS_NOT_FOUND,
     "[TiffWriter::begin] can't open FOLDER/missing/out.tif.TMP as a TIFF file!: No such file or "
     "directory"},
    {"a row shorter than the page's",
     {},
     [](orvex_writer* w, const Request&) { return orvex_writer_write_scanline(w, 0, kRow, 15); },
     ORVEX_STATUS_INVALID_ARGUMENT,
     "[TiffWriter::writeScanline] bytes(15) < scanlineBytes(16)!"},
    {"a row out of order",
     {},
     [](orvex_writer* w, const Request&) { return orvex_writer_write_scanline(w, 1, kRow, 16); },
     ORVEX_STATUS_WRONG_STATE,
     "[orvex_writer::write] row 1 of channel 0 given, row 0 of channel 0 expected!"},
    {"a plane's row on an interleaved page",
     {},
     [](orvex_writer* w, const Request&) {
       return orvex_writer_write_channel_scanline(w, 0, 0, kRow, 16);
     },
     ORVEX_STATUS_WRONG_STATE,
     "[orvex_writer::write] the writer takes no per-channel row now!"},
    {"the second plane before the first is complete",
     [](Request& r) { r.planar = ORVEX_PLANAR_SEPARATE; },
     [](orvex_writer* w, const Request&) {
       orvex_writer_write_channel_scanline(w, 0, 0, kRow, 4);
       return orvex_writer_write_channel_scanline(w, 1, 0, kRow, 4);
     },
     ORVEX_STATUS_WRONG_STATE,
     "[orvex_writer::write] row 0 of channel 1 given, row 1 of channel 0 expected!"},
    {"a row beyond the last",
     {},
     [](orvex_writer* w, const Request& r) {
       writeRows(w, r);
       return orvex_writer_write_scanline(w, 3, kRow, 16);
     },
     ORVEX_STATUS_OUT_OF_RANGE,
     "[orvex_writer::write] row 3 given, every row is written!"},
    {"closed with rows missing",
     {},
     [](orvex_writer* w, const Request&) {
       orvex_writer_write_scanline(w, 0, kRow, 16);
       return orvex_writer_close(w);
     },
     ORVEX_STATUS_WRONG_STATE,
     "[orvex_writer::close] rows are missing, the file is incomplete!"},
    {"destroyed without closing",
     {},
     [](orvex_writer* w, const Request& r) {
       return writeRows(w, r) == ORVEX_STATUS_OK ? ORVEX_STATUS_WRONG_STATE : ORVEX_STATUS_OK;
     },
     ORVEX_STATUS_WRONG_STATE,
     ""},
};

class SafeWriting : public ::testing::Test {
protected:
  void SetUp() override {
    request_.folder = temp_.path().u8string();
    std::ofstream(temp_.file("out.tif"), std::ios::binary) << kPrevious;
  }

  // The target holds what it held, and nothing else is left in its folder.
  void expectTargetUntouched() const {
    std::ifstream in(temp_.file("out.tif"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kPrevious);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp_.path()))
      names.push_back(entry.path().filename().u8string());
    EXPECT_EQ(names, std::vector<std::string>{"out.tif"});
  }

  orvex_test::TempDir temp_;
  Request request_;
};

TEST_F(SafeWriting, EveryFailureLeavesTheTargetAsItWas) {
  for (const FailureCase& failure : kFailures) {
    SCOPED_TRACE(failure.name);
    Request request = request_;
    if (failure.change) failure.change(request);
    orvex_writer* writer = nullptr;
    orvex_status status = request.create(&writer);
    if (status == ORVEX_STATUS_OK) status = failure.drive(writer, request);
    EXPECT_EQ(status, failure.status);
    if (!failure.reason.empty()) {
      std::string reason = lastFailure();
      const size_t folder = reason.find(request.folder);
      if (folder != std::string::npos) reason.replace(folder, request.folder.size(), "FOLDER");
      EXPECT_EQ(reason, failure.reason);
    }
    orvex_writer_destroy(writer);
    expectTargetUntouched();
  }
}

#if !defined(_WIN32)
// A disk that takes no more than 4 KiB: RLIMIT_FSIZE in a child, with SIGXFSZ ignored so
// that write() fails with EFBIG. The child reports its status and reason through a pipe.
TEST_F(SafeWriting, FullDiskReportsNoSpaceAndLeavesTheTargetAsItWas) {
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    Request request = request_;
    request.info.width = 512;
    request.info.height = 64;
    std::vector<uint8_t> row(512 * 4);
    std::mt19937 noise(5);
    orvex_writer* writer = nullptr;
    orvex_status status = request.create(&writer);
    for (uint32_t y = 0; status == ORVEX_STATUS_OK && y < 64; ++y) {
      for (uint8_t& byte : row) byte = static_cast<uint8_t>(noise());
      status = orvex_writer_write_scanline(writer, y, row.data(), 512 * 4);
    }
    if (status == ORVEX_STATUS_OK) status = orvex_writer_close(writer);
    orvex_writer_destroy(writer);
    const std::string report = std::to_string(status) + " " + lastFailure();
    (void)!write(channel[1], report.data(), report.size());
    _exit(0);
  }
  close(channel[1]);
  std::string report;
  char buffer[256];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
  close(channel[0]);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(report, std::to_string(ORVEX_STATUS_NO_SPACE) +
                        " [TiffWriter::writeScanline] TIFFWriteScanline failed!: File too large");
  expectTargetUntouched();
}
#endif

// A closed page replaces the target and reads back as it was given, in either layout
// (tests/data/transcripts/capi/written.txt): the description, the ICC profile, each channel's
// kind and name (one beyond U+FFFF and lone surrogates, each encoded on its own) and each row.
TEST_F(SafeWriting, ClosedPageReplacesTheTargetAndReadsBack) {
  const std::vector<uint8_t> icc = {1, 2, 3, 4, 5};
  std::string stories;
  for (const int32_t planar : {ORVEX_PLANAR_CONTIG, ORVEX_PLANAR_SEPARATE}) {
    Request request = request_;
    request.planar = planar;
    request.info.samples_per_pixel = 5;
    request.info.extra_samples = 2;
    request.info.icc_profile = icc.data();
    request.info.icc_profile_size = 5;
    request.channels.push_back(
        named(ORVEX_CHANNEL_UNASSOCIATED_ALPHA, 12, "\xED\xB0\x80 \xF0\x9F\x98\x80 \xED\xA0\x80"));
    orvex_writer* writer = nullptr;
    ASSERT_EQ(request.create(&writer), ORVEX_STATUS_OK);
    const uint32_t planes = planar == ORVEX_PLANAR_SEPARATE ? 5 : 1;
    for (uint32_t plane = 0; plane < planes; ++plane) {
      for (uint32_t y = 0; y < 3; ++y) {
        std::vector<uint8_t> row(20 / planes);
        for (size_t x = 0; x < row.size(); ++x)
          row[x] = static_cast<uint8_t>(plane * 60 + y * 20 + x);
        ASSERT_EQ(planes == 1
                      ? orvex_writer_write_scanline(writer, y, row.data(), 20)
                      : orvex_writer_write_channel_scanline(writer, plane, y, row.data(), 4),
                  ORVEX_STATUS_OK);
      }
    }
    ASSERT_EQ(orvex_writer_close(writer), ORVEX_STATUS_OK);
    orvex_writer_destroy(writer);
    stories += "# planar " + std::to_string(planar) + "\n" + pageStoryOf(temp_.file("out.tif"));
  }
  orvex_test::expectTranscript("capi/written.txt", stories);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(temp_.path()))
    names.push_back(entry.path().filename().u8string());
  EXPECT_EQ(names, std::vector<std::string>{"out.tif"});
}

}  // namespace
