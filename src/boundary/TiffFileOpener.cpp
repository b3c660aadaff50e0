#include "boundary/TiffFileOpener.h"

#include <string>

#include "boundary/TextCodec.h"

namespace orvex {

TIFF* TiffFileOpener::open(const char* utf8Name, const char* mode) {
  const std::u16string wideName = TextCodec::utf8ToUtf16(utf8Name);
#if defined(_WIN32)
  return TIFFOpenW(reinterpret_cast<const wchar_t*>(wideName.c_str()), mode);
#else
  return TIFFOpen(utf8Name, mode);
#endif
}

}  // namespace orvex
