#include "boundary/TiffFileOpener.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "boundary/LibtiffMessages.h"
#include "boundary/TextCodec.h"

namespace orvex {
namespace {

struct OpenOptionsDeleter {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

using OpenOptions = std::unique_ptr<TIFFOpenOptions, OpenOptionsDeleter>;

OpenOptions limitedOpenOptions() {
  OpenOptions options(TIFFOpenOptionsAlloc());
  if (options) {
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), TiffFileOpener::kMaxLibtiffAllocation);
    LibtiffMessages::attachTo(options.get());
  }
  return options;
}

}  // namespace

TIFF* TiffFileOpener::open(const char* utf8Name, const char* mode) {
  const std::u16string wideName = TextCodec::utf8ToUtf16(utf8Name);
  // libtiff copies the options into the handle, so they can go once the file is open.
  const OpenOptions options = limitedOpenOptions();
#if defined(_WIN32)
  return TIFFOpenWExt(reinterpret_cast<const wchar_t*>(wideName.c_str()), mode, options.get());
#else
  return TIFFOpenExt(utf8Name, mode, options.get());
#endif
}

int TiffFileOpener::systemErrorOf(const char* utf8Name, bool forWriting) {
  errno = 0;
#if defined(_WIN32)
  const std::u16string wideName = TextCodec::utf8ToUtf16(utf8Name);
  std::FILE* file =
      _wfopen(reinterpret_cast<const wchar_t*>(wideName.c_str()), forWriting ? L"ab" : L"rb");
#else
  std::FILE* file = std::fopen(utf8Name, forWriting ? "ab" : "rb");
#endif
  if (file == nullptr) {
    return errno;
  }
  std::fclose(file);
  return 0;
}

}  // namespace orvex
