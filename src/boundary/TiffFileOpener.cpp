#include "boundary/TiffFileOpener.h"

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

}  // namespace orvex
