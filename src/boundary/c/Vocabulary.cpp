#include "boundary/c/Vocabulary.h"

#include <cstring>

#include "boundary/ModuleLogger.h"

namespace orvex {
namespace {

struct Entry {
  int32_t vocabulary;
  int32_t value;
  const char* word;
  const char* text;
};

// The words the Python module already takes and prints; the texts the orvex tool shows.
const Entry kEntries[] = {
    {ORVEX_VOCABULARY_SAMPLE_FORMAT, ORVEX_SAMPLE_FORMAT_UNKNOWN, "unknown", "unknown"},
    {ORVEX_VOCABULARY_SAMPLE_FORMAT, ORVEX_SAMPLE_FORMAT_UINT, "uint", "unsigned integer"},
    {ORVEX_VOCABULARY_SAMPLE_FORMAT, ORVEX_SAMPLE_FORMAT_INT, "int", "signed integer"},
    {ORVEX_VOCABULARY_SAMPLE_FORMAT, ORVEX_SAMPLE_FORMAT_IEEE_FP, "float", "floating point"},
    {ORVEX_VOCABULARY_SAMPLE_FORMAT, ORVEX_SAMPLE_FORMAT_VOID, "void", "untyped"},
    {ORVEX_VOCABULARY_SAMPLE_FORMAT, ORVEX_SAMPLE_FORMAT_COMPLEX_INT, "complex_int",
     "complex integer"},
    {ORVEX_VOCABULARY_SAMPLE_FORMAT, ORVEX_SAMPLE_FORMAT_COMPLEX_IEEE_FP, "complex_float",
     "complex floating point"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_UNKNOWN, "unknown", "unknown"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_MIN_IS_WHITE, "min_is_white",
     "grey, min is white"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_MIN_IS_BLACK, "min_is_black",
     "grey, min is black"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_RGB, "rgb", "RGB"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_MASK, "mask", "transparency mask"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_SEPARATED, "separated", "separated (CMYK)"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_CIE_LAB, "cie_lab", "CIE L*a*b*"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_ICC_LAB, "icc_lab", "ICC L*a*b*"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_ITU_LAB, "itu_lab", "ITU L*a*b*"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_CFA, "cfa", "colour filter array"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_LOG_L, "log_l", "LogL"},
    {ORVEX_VOCABULARY_PHOTOMETRIC, ORVEX_PHOTOMETRIC_LOG_LUV, "log_luv", "LogLuv"},
    {ORVEX_VOCABULARY_RESOLUTION_UNIT, ORVEX_RESOLUTION_UNIT_UNKNOWN, "unknown", "no unit"},
    {ORVEX_VOCABULARY_RESOLUTION_UNIT, ORVEX_RESOLUTION_UNIT_INCH, "inch", "inch"},
    {ORVEX_VOCABULARY_RESOLUTION_UNIT, ORVEX_RESOLUTION_UNIT_CENTIMETER, "centimeter",
     "centimetre"},
    {ORVEX_VOCABULARY_CHANNEL_KIND, ORVEX_CHANNEL_UNSPECIFIED, "unspecified", "unspecified"},
    {ORVEX_VOCABULARY_CHANNEL_KIND, ORVEX_CHANNEL_ASSOCIATED_ALPHA, "associated_alpha",
     "associated alpha"},
    {ORVEX_VOCABULARY_CHANNEL_KIND, ORVEX_CHANNEL_UNASSOCIATED_ALPHA, "unassociated_alpha",
     "unassociated alpha"},
    {ORVEX_VOCABULARY_CHANNEL_KIND, ORVEX_CHANNEL_SPOT, "spot", "spot colour"},
    {ORVEX_VOCABULARY_PLANAR, ORVEX_PLANAR_CONTIG, "contig", "interleaved"},
    {ORVEX_VOCABULARY_PLANAR, ORVEX_PLANAR_SEPARATE, "separate", "separate planes"},
    {ORVEX_VOCABULARY_COLOR_SPACE, ORVEX_COLOR_SPACE_RGB, "rgb", "RGB"},
    {ORVEX_VOCABULARY_COLOR_SPACE, ORVEX_COLOR_SPACE_HSB, "hsb", "HSB"},
    {ORVEX_VOCABULARY_COLOR_SPACE, ORVEX_COLOR_SPACE_CMYK, "cmyk", "CMYK"},
    {ORVEX_VOCABULARY_COLOR_SPACE, ORVEX_COLOR_SPACE_LAB, "lab", "L*a*b*"},
    {ORVEX_VOCABULARY_COLOR_SPACE, ORVEX_COLOR_SPACE_GREY, "grey", "greyscale"},
};

const Entry* entryOf(int32_t vocabulary, int32_t value) {
  for (const Entry& entry : kEntries) {
    if (entry.vocabulary == vocabulary && entry.value == value) {
      return &entry;
    }
  }
  moduleLogger().log(kLogError, "[Vocabulary] no word for value %d of vocabulary %d!",
                     static_cast<int>(value), static_cast<int>(vocabulary));
  return nullptr;
}

orvex_status found(const Entry* entry, const char* Entry::*field, const char** out) {
  if (out == nullptr) {
    return ORVEX_STATUS_INVALID_ARGUMENT;
  }
  if (entry == nullptr) {
    return ORVEX_STATUS_OUT_OF_RANGE;
  }
  *out = entry->*field;
  return ORVEX_STATUS_OK;
}

}  // namespace

orvex_status Vocabulary::word(int32_t vocabulary, int32_t value, const char** word) {
  return found(entryOf(vocabulary, value), &Entry::word, word);
}

orvex_status Vocabulary::displayText(int32_t vocabulary, int32_t value, const char** text) {
  return found(entryOf(vocabulary, value), &Entry::text, text);
}

orvex_status Vocabulary::parse(int32_t vocabulary, const char* word, int32_t* value) {
  if (word == nullptr || value == nullptr) {
    return ORVEX_STATUS_INVALID_ARGUMENT;
  }
  for (const Entry& entry : kEntries) {
    if (entry.vocabulary == vocabulary && std::strcmp(entry.word, word) == 0) {
      *value = entry.value;
      return ORVEX_STATUS_OK;
    }
  }
  moduleLogger().log(kLogError, "[Vocabulary] \"%s\" names no value of vocabulary %d!", word,
                     static_cast<int>(vocabulary));
  return ORVEX_STATUS_INVALID_ARGUMENT;
}

}  // namespace orvex
