// orvex: prints the library's version and the directory count of a TIFF file (the bundled
// sample when no file is named).
#include <cstdio>
#include <memory>

#include "orvex/orvex.h"

int main(int argc, char** argv) {
  const char* version = nullptr;
  orvexVersionString(&version);
  std::printf("orvex %s\n", version);

  const char* fileName = argc > 1 ? argv[1] : ORVEX_SAMPLE_TIFF;
  std::unique_ptr<ITiffReader, void (*)(ITiffReader*)> reader(createTiffReader(),
                                                              destroyTiffReader);
  if (!reader->begin(fileName)) {
    std::fprintf(stderr, "orvex: cannot read %s\n", fileName);
    return 1;
  }
  std::printf("%s: %u director%s\n", fileName, reader->getNumberOfDirectories(),
              reader->getNumberOfDirectories() == 1 ? "y" : "ies");
  reader->end();
  return 0;
}
