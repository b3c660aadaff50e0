// Scripts of calls on an exported writer, kept as transcripts in tests/data/transcripts/writer:
// each "> " line is a call, followed by its result and the records it logged, and what libtiff
// finds in the files written. Paths show as DIR/name, bytes outside ASCII as \xHH.
#include <gtest/gtest.h>

#include <algorithm>
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

// The call's text with each \xHH as its byte.
std::string unescaped(const std::string& text) {
  std::string call;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool escape = text.compare(i, 2, "\\x") == 0;
    call += escape ? static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)) : text[i];
    i += escape ? 3 : 0;
  }
  return call;
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
  const auto said = [](bool result) { return result ? "true" : "false"; };
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
  if (verb == "file" && in >> name) return fileSummary(temp.file(name));
  throw std::invalid_argument("not a call: " + verb);
}

// One script's writer, folder and log.
class WriterScript : public ::testing::TestWithParam<std::string> {
protected:
  ~WriterScript() override { destroyTiffWriter(writer_); }

  // The call's line with its result, then the records it logged.
  std::string step(const std::string& call) {
    const size_t seen = log_.records().size();
    std::istringstream in(unescaped(call));
    std::string result;
    try {
      result = play(writer_, in, temp_);
    } catch (const std::range_error& error) {
      result = std::string("range_error ") + error.what();
    }
    const std::vector<orvex_test::LogRecord> records(log_.records().begin() + seen,
                                                     log_.records().end());
    return "> " + call + (result.empty() ? "" : " = " + result) + "\n" +
           orvex_test::transcriptOf(records, {{temp_.file(""), "DIR/"}});
  }

  orvex_test::TempDir temp_;
  orvex_test::LogCapture log_;
  ITiffWriter* writer_ = createTiffWriter();
};

TEST_P(WriterScript, LogsAndWritesWhatItAlwaysDid) {
  orvex_test::expectSession(
      "writer/" + GetParam() + ".txt", "> ", [](const std::string&, const std::string&) {},
      [this](const std::string& call) { return step(call); });
}

// Every transcript of the folder but the tags, which WriterTagsTest keeps.
std::vector<std::string> scripts() {
  std::vector<std::string> names = orvex_test::transcriptNames("writer");
  names.erase(std::find(names.begin(), names.end(), "tags"));
  return names;
}

INSTANTIATE_TEST_SUITE_P(Scripts, WriterScript, ::testing::ValuesIn(scripts()),
                         [](const auto& param) { return param.param; });

}  // namespace
