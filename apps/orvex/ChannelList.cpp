#include "ChannelList.h"

#include "EnumNames.h"

namespace orvex_cli {
namespace {

struct ModelNames {
  TiffPhotometric photometric;
  std::vector<std::string> names;
};

const ModelNames kColourNames[] = {
    {TiffPhotometric::MinIsWhite, {"Grey"}},
    {TiffPhotometric::MinIsBlack, {"Grey"}},
    {TiffPhotometric::Rgb, {"R", "G", "B"}},
    {TiffPhotometric::Separated, {"C", "M", "Y", "K"}},
};

std::string colourName(TiffPhotometric photometric, uint16_t sample) {
  for (const ModelNames& model : kColourNames) {
    if (model.photometric == photometric && sample < model.names.size()) {
      return model.names[sample];
    }
  }
  return "sample " + std::to_string(sample);
}

// Samples of the colour model: those before the extra samples.
uint16_t colourSamples(const TiffImageInfo& info) {
  return info.samplesPerPixel > info.extraSamples
             ? static_cast<uint16_t>(info.samplesPerPixel - info.extraSamples)
             : uint16_t{0};
}

}  // namespace

std::vector<ChannelLabel> ChannelList::labels(const TiffImageInfo& info) {
  const uint16_t colour = colourSamples(info);
  std::vector<ChannelLabel> labels;
  for (uint16_t sample = 0; sample < info.samplesPerPixel; ++sample) {
    if (sample < colour) {
      labels.push_back({true, TiffChannelType::Unspecified, colourName(info.photometric, sample)});
      continue;
    }
    const size_t index = sample - colour;
    const TiffChannelInfo extra =
        index < info.channels.size() ? info.channels[index] : TiffChannelInfo{};
    labels.push_back(
        {false, extra.type, extra.name.empty() ? "extra " + std::to_string(index) : extra.name});
  }
  return labels;
}

std::string ChannelList::describe(size_t sample, const ChannelLabel& label) {
  return "channel " + std::to_string(sample) + ": " +
         (label.colour ? "colour" : EnumNames::of(label.kind).text) + ", \"" + label.name + "\"";
}

}  // namespace orvex_cli
