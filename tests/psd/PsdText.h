// Photoshop image resources as one line of text, so that a table row can state what a block
// decodes to (blocks in hex, as orvex_test::bytesOf reads them). The text, for example
//   names "A" ""; unicode 41,42 -; display 1 0,65535,0,0,0,50,2; ids 1024; spots 1 1024,7,0,0,0,0
// has a section for each record present: Unicode names as 16-bit units in hex ("-" when empty),
// records as their version then entries (colour space, four components, opacity and kind; or
// channel id, colour space and four components).
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "orvex/TiffImageInfo.h"
#include "psd/PSDImageResources.h"
#include "support/Transcript.h"

namespace psd_test {

using Bytes = std::vector<uint8_t>;

/// In hex, one resource as editors write it: "8BIM", the ID, an empty padded name, size, data
/// and pad.
std::string resource(uint16_t id, const std::string& dataHex);

/// What the decoder keeps of a block, decoded from a copy of exactly its size so that
/// AddressSanitizer sees any read past it.
orvex::PSDImageResources resourcesOf(const Bytes& block);
std::string decoded(const Bytes& block);

/// Channels as "kind:name; ..." with the kinds unspecified, assoc, unassoc, spot or a number.
std::vector<TiffChannelInfo> channelsFrom(const std::string& text);
/// What the Photoshop tag reader makes of a file's first directory: the channels as above, or
/// "false", then the records it logged as "[level] text" lines, then the colours as
/// "space c0,c1,c2,c3 opacity" per channel ("-" for none).
std::string channelsOf(const std::string& path);

}  // namespace psd_test
