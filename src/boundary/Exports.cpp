// The six C-linkage entry points. Objects are created and deleted here so that they are
// always freed by the module that allocated them.
#include "orvex/orvex.h"

#include "boundary/Version.h"
#include "reader/TiffReader.h"
#include "writer/TiffWriter.h"

namespace {

template <typename Interface>
void destroyThroughInterface(Interface* object) {
  delete object;
}

}  // namespace

extern "C" {

ITiffReader* createTiffReader() {
  return new orvex::TiffReader();
}

void destroyTiffReader(ITiffReader* reader) {
  destroyThroughInterface(reader);
}

ITiffWriter* createTiffWriter() {
  return new orvex::TiffWriter();
}

void destroyTiffWriter(ITiffWriter* writer) {
  destroyThroughInterface(writer);
}

void orvexVersionNum(uint32_t* major, uint32_t* minor, uint32_t* patch) {
  if (major != nullptr) {
    *major = orvex::kVersionMajor;
  }
  if (minor != nullptr) {
    *minor = orvex::kVersionMinor;
  }
  if (patch != nullptr) {
    *patch = orvex::kVersionPatch;
  }
}

void orvexVersionString(const char** version) {
  if (version != nullptr) {
    *version = orvex::kVersionText;
  }
}

}  // extern "C"
