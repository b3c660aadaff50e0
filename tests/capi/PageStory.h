// What the C interface tells of a file, as text a transcript keeps: the pages, each with every
// field of its description and its channel records, then the bytes of every scanline in both
// forms (in hex when a form holds at most 64 bytes, else their count and checksum), and the
// reason of every call that failed.
#pragma once

#include <string>

std::string pageStoryOf(const std::string& path);
