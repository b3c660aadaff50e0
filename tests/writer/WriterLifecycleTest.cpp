// Scripts of calls on an exported writer, each compared with a transcript in
// tests/data/transcripts/writer: every call with its result and the records it logged, and what
// libtiff finds in the files written. Paths show as DIR/name, bytes outside ASCII as \xHH.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "orvex/orvex.h"
#include "support/LogCapture.h"
#include "support/ReferenceDecoder.h"
#include "support/TempDir.h"
#include "support/Transcript.h"

namespace {

const std::vector<uint8_t> kRow(64, 0x5A);

std::string escaped(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(static_cast<uint8_t>(c)));
    shown += static_cast<uint8_t>(c) < 0x80 ? std::string(1, c) : code;
  }
  return shown;
}

// The header's kind, and the size when libtiff decodes the whole file.
std::string fileSummary(const std::string& path) {
  char head[4] = {};
  if (!std::ifstream(path, std::ios::binary).read(head, sizeof head)) return "missing";
  std::string summary = head[2] == 43 ? "BigTIFF" : "classic";
  try {
    const TiffImageInfo info = orvex_test::referenceOf(path).info;
    summary += ", " + std::to_string(info.width) + " x " + std::to_string(info.height);
  } catch (const std::runtime_error&) {
    summary += ", not decodable";
  }
  return summary;
}

// One call of a script:
//   begin NAME PLANAR [WIDTH HEIGHT SAMPLES BITS [EXTRA CHANNEL]]   (5 x 23 RGB 8-bit by default;
//                                       NAME "null" for a null name, "-" for an empty one)
//   row ROW BYTES | plane CHANNEL ROW BYTES | end | destroy | file NAME
std::string play(ITiffWriter*& writer, std::istream& in, const orvex_test::TempDir& temp) {
  std::string verb;
  std::string name;
  uint32_t a = 0;
  uint32_t b = 0;
  uint32_t c = 0;
  in >> verb;
  const auto said = [](bool result) { return result ? " -> true" : " -> false"; };
  if (verb == "begin") {
    TiffImageInfo info;
    info.width = 5;
    info.height = 23;
    info.samplesPerPixel = 3;
    info.bitsPerSample = 8;
    int32_t planar = 1;
    std::string channel;
    in >> name >> planar >> info.width >> info.height >> info.samplesPerPixel >>
        info.bitsPerSample >> info.extraSamples >> channel;
    info.photometric =
        info.samplesPerPixel == 3 ? TiffPhotometric::Rgb : TiffPhotometric::MinIsBlack;
    if (!channel.empty()) info.channels = {{TiffChannelType::AssociatedAlpha, channel}};
    const std::string path = name == "-" ? "" : temp.file(name);
    return said(writer->begin(name == "null" ? nullptr : path.c_str(), info, planar));
  }
  if (verb == "row" && in >> a >> b) return said(writer->writeScanline(a, kRow.data(), b));
  if (verb == "plane" && in >> a >> b >> c) {
    return said(writer->writeScanline(static_cast<uint16_t>(a), b, kRow.data(), c));
  }
  if (verb == "end") return (writer->end(), "");
  if (verb == "destroy") {
    destroyTiffWriter(writer);
    destroyTiffWriter(nullptr);
    writer = nullptr;
    return "";
  }
  if (verb == "file" && in >> name) return " -> " + fileSummary(temp.file(name));
  throw std::invalid_argument("not a call: " + verb);
}

std::string transcriptOf(const std::string& script) {
  orvex_test::TempDir temp;
  orvex_test::LogCapture log;
  ITiffWriter* writer = createTiffWriter();
  std::istringstream calls(script);
  std::string text;
  for (std::string call; std::getline(calls >> std::ws, call, ';');) {
    const size_t seen = log.records().size();
    std::istringstream in(call);
    try {
      text += escaped(call) + play(writer, in, temp) + "\n";
    } catch (const std::range_error& error) {
      text += escaped(call) + " -> range_error " + error.what() + "\n";
    }
    const std::vector<orvex_test::LogRecord> records(log.records().begin() + seen,
                                                     log.records().end());
    text += orvex_test::transcriptOf(records, {{temp.file(""), "DIR/"}});
  }
  destroyTiffWriter(writer);
  return text;
}

const std::pair<const char*, const char*> kScripts[] = {
    {"lifecycle", "end; begin rgb.tif 1 5 2 3 8; row 0 15; row 1 15; end; end; file rgb.tif"},
    {"missing_name",
     "begin first.tif 1 5 1 3 8; row 0 15; begin null 1; begin - 1; row 0 15; end; file first.tif"},
    {"uncreatable", "begin no-such-folder/x.tif 1; row 0 15; plane 0 0 5; end"},
    {"second_begin",
     "begin first.tif 1 5 1 3 8; row 0 15; begin second.tif 2 5 1 3 8; plane 0 0 5; plane 1 0 5; "
     "plane 2 0 5; destroy; file first.tif; file second.tif"},
    {"rows_interleaved",
     "begin rows.tif 1; row 23 15; row 4294967295 0; row 0 14; row 0 15; row 1 64; plane 0 2 15; "
     "row 5 15; end; row 2 15"},
    {"rows_separate",
     "begin rows.tif 2; plane 0 23 5; plane 0 4294967295 0; plane 0 0 4; plane 0 0 5; "
     "plane 0 1 64; plane 3 2 5; row 2 15; plane 2 0 5; end; plane 2 1 5"},
    {"unchecked_record",
     "begin odd.tif 1 3 2 1 0 4; row 0 64; begin empty.tif 2 0 0 0 0; plane 0 0 64; end"},
    {"ill_formed_names",
     "begin bad\xFF.tif 1; file bad\xFF.tif; begin alpha.tif 1 5 23 4 8 1 Alpha\xC3(; end; "
     "begin lone.tif 1 5 23 4 8 1 A\xED\xA0\x80; end"},
    // Classic up to 8192 MiB of raw samples, BigTIFF from 8193 on.
    {"sizes",
     "begin s.tif 1 131072 65536 1 8; end; file s.tif; begin s.tif 1 131087 65536 1 8; end; "
     "file s.tif; begin s.tif 1 131088 65536 1 8; end; file s.tif; "
     "begin s.tif 1 65536 65536 3 8; end; file s.tif; begin s.tif 1 32768 32768 3 8; end; "
     "file s.tif; begin s.tif 1 1 1 1 1; row 0 1; end; file s.tif"},
};

class WriterScript : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(WriterScript, LogsAndWritesWhatItAlwaysDid) {
  orvex_test::expectTranscript(std::string("writer/") + GetParam().first + ".txt",
                               transcriptOf(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(Scripts, WriterScript, ::testing::ValuesIn(kScripts),
                         [](const auto& param) { return std::string(param.param.first); });

}  // namespace
