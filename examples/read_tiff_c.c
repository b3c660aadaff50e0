/* A host in C that reads every page of a TIFF file through Orvex's C interface and prints
 * what it learns: each page's description in the library's words, its extra channels, and
 * an FNV-1a checksum of every scanline delivered.
 *
 *   orvex_example_read_c FILE
 *
 * Exit status: 0 when every page was read to its last scanline, 1 when the file or one of its
 * pages could not be read (the library's reason is printed), 2 on bad usage. */
#include <inttypes.h>
#include <stdint.h>
#include <stdio.h>

#include "orvex/orvex_c.h"

/* The reason of the last failing call on this thread; valid until the next failure. */
static const char* reason(void) {
  const char* text = "";
  orvex_last_failure(&text);
  return text;
}

static const char* wordOf(int32_t vocabulary, int32_t value) {
  const char* word = "?";
  orvex_word(vocabulary, value, &word);
  return word;
}

static void printDescription(orvex_reader* reader, uint32_t page, const orvex_page_info* info) {
  uint32_t i;
  printf("page %u: %u x %u, %s, %s, %u bits, %u samples of which %u extra\n", page, info->width,
         info->height, wordOf(ORVEX_VOCABULARY_PHOTOMETRIC, info->photometric),
         wordOf(ORVEX_VOCABULARY_SAMPLE_FORMAT, info->sample_format), info->bits_per_sample,
         info->samples_per_pixel, info->extra_samples);
  printf("  resolution: %g x %g per %s, icc profile: %u bytes\n", info->x_resolution,
         info->y_resolution, wordOf(ORVEX_VOCABULARY_RESOLUTION_UNIT, info->resolution_unit),
         info->icc_profile_size);
  /* Every extra sample has a record, its name well-formed UTF-8; the name stays valid until
   * another page is selected. */
  for (i = 0; i < info->extra_samples; ++i) {
    orvex_channel channel;
    channel.struct_size = sizeof channel;
    if (orvex_reader_channel(reader, i, &channel) == ORVEX_STATUS_OK) {
      printf("  channel %u: %s \"%s\"\n", i, wordOf(ORVEX_VOCABULARY_CHANNEL_KIND, channel.kind),
             channel.name);
    }
  }
  printf("  scanlines: %u %s\n", info->scanline_count,
         info->scanlines_are_rows ? "rows" : "columns");
}

/* The bytes handed out belong to the reader until its next read, so each scanline is
 * consumed at once. */
static int checksumScanlines(orvex_reader* reader, uint32_t count) {
  uint64_t hash = 14695981039346656037ULL;
  uint64_t bytes = 0;
  uint32_t row;
  for (row = 0; row < count; ++row) {
    const uint8_t* data = NULL;
    uint32_t size = 0;
    uint32_t i;
    if (orvex_reader_read_scanline(reader, row, &data, &size) != ORVEX_STATUS_OK) {
      printf("  scanline %u: failed: %s\n", row, reason());
      return 0;
    }
    for (i = 0; i < size; ++i) {
      hash = (hash ^ data[i]) * 1099511628211ULL;
    }
    bytes += size;
  }
  printf("  delivered: %" PRIu64 " bytes, fnv1a64 %016" PRIx64 "\n", bytes, hash);
  return 1;
}

static int readPage(orvex_reader* reader, uint32_t page) {
  orvex_page_info info;
  if (orvex_reader_select_page(reader, page) != ORVEX_STATUS_OK) {
    printf("page %u: refused: %s\n", page, reason());
    return 0;
  }
  /* The library fills the fields the host's struct has room for. */
  info.struct_size = sizeof info;
  orvex_reader_page_info(reader, &info);
  printDescription(reader, page, &info);
  return checksumScanlines(reader, info.scanline_count);
}

int main(int argc, char** argv) {
  orvex_reader* reader = NULL;
  const char* version = NULL;
  uint32_t pages = 0;
  uint32_t page;
  int all = 1;
  if (argc != 2) {
    fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  orvex_version(NULL, NULL, NULL, &version);
  printf("orvex %s\n", version);
  if (orvex_reader_open(argv[1], &reader) != ORVEX_STATUS_OK) {
    printf("%s: cannot be read: %s\n", argv[1], reason());
    return 1;
  }
  orvex_reader_page_count(reader, &pages);
  printf("%s: %u page%s\n", argv[1], pages, pages == 1 ? "" : "s");
  for (page = 0; page < pages; ++page) {
    all = readPage(reader, page) && all;
  }
  orvex_reader_destroy(reader);
  return all ? 0 : 1;
}
