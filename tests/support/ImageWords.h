// Test images described in words, as the transcripts of host scenarios and tool sessions
// declare them in lines "## name.tif: words | words of the next directory".
#pragma once

#include <string>

#include "support/Transcript.h"

namespace orvex_test {

/// Writes the directories `words` describes, separated by '|', to `path` (libtiff's `mode`). Each
/// word is a letter and a value; a directory is 20 x 9 8-bit grey unless its words say otherwise:
///   w20 h9 width and height, b8 bits, s1 samples, p1 photometric, f1 sample format,
///   o1 orientation, t16 tiles, r8 rows per strip, l2 planar configuration, k1 ink set,
///   u3 resolution unit with 300 x 150 per unit (u3,150,75 with those), y1 YCbCr subsampling
///   (both ways), x2,0 extra samples, m0 a colour map of values up to 255, m300 of values
///   from 300 on, m37,11 of values (37 k + 11) mod 256 (after the bits), M1=256 one value of
///   it, i3 an ICC profile of 3 bytes of 7, iabcd one of 12 bytes naming abcd, e5 the pattern
///   of the stored bytes from seed 5, d00ff the stored bytes in hexadecimal, z32809
///   compression, j1 the JPEG colour mode, Bc507 a raw strip or tile in hexadecimal (each B
///   one more), Pnamed.tif the Photoshop block (tag 34377) of the file named.tif beside it.
/// Written by libtiff; with W, or a named extra channel c3:Gold~leaf:65535,55255,257,100
/// (kind, name with '~' for a blank, RGB colour and opacity), by the library's own writer
/// through the C interface: 8 or 16 bits, byte b of pixel x of row y is y * 31 + x * 7 + b * 50
/// unless d gives them.
/// Then edits of the written bytes: E273=9 gives tag 273 the value 9, R257=9 renames tag 257
/// to 9, A273.1=9 makes value 1 of tag 273's array 9, N9 links the next directory at offset 9,
/// N0 at the first directory, C4 cuts the last 4 bytes of the file off.
/// Or, from a first word @libtiff/name.tiff, a copy of that file of tests/data whose first
/// directory libtiff rewrites: T262 unsets tag 262, T262=5 sets it, T338=0,2 sets an array of
/// 16-bit values, and T34377=3842 one of bytes (a tag of bytes in hexadecimal).
void writeImageWords(const std::string& path, const std::string& words, const char* mode = "w");

}  // namespace orvex_test
