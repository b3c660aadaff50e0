/* A host in C that writes, through Orvex's C interface, the picture examples/write_tiff.cpp
 * writes: 64 x 48 RGB with an alpha channel "Alpha" and a spot-colour channel "Varnish".
 *
 *   orvex_example_write_c OUT.tif [contig|separate]
 *
 * The file is written beside OUT.tif under a temporary name and takes its place only once
 * complete: a failure leaves OUT.tif as it was. Exit status: 0 when the file was written, 1
 * when writing failed (the library's reason is printed), 2 on bad usage. */
#include <stdint.h>
#include <stdio.h>

#include "orvex/orvex_c.h"

#define WIDTH 64
#define HEIGHT 48
#define SAMPLES 5 /* red, green, blue, then the two extra channels */

static uint8_t sampleAt(uint32_t x, uint32_t y, uint32_t channel) {
  switch (channel) {
    case 0:
      return (uint8_t)(x * 4);
    case 1:
      return (uint8_t)(y * 5);
    case 2:
      return (uint8_t)((x ^ y) * 3);
    case 3:
      return (uint8_t)(255 - x * 2);
    default:
      return ((x / 8 + y / 8) % 2) != 0 ? 200 : 0;
  }
}

/* Contiguous pages take rows in order; separate ones every row of one channel, then the next. */
static orvex_status writeRows(orvex_writer* writer, int32_t planar) {
  const uint32_t planes = planar == ORVEX_PLANAR_SEPARATE ? SAMPLES : 1;
  const uint32_t perPlane = SAMPLES / planes;
  uint8_t row[WIDTH * SAMPLES];
  uint32_t plane, y, x, s;
  for (plane = 0; plane < planes; ++plane) {
    for (y = 0; y < HEIGHT; ++y) {
      orvex_status status;
      for (x = 0; x < WIDTH; ++x) {
        for (s = 0; s < perPlane; ++s) {
          row[x * perPlane + s] = sampleAt(x, y, plane + s);
        }
      }
      status = planes == 1 ? orvex_writer_write_scanline(writer, y, row, WIDTH * SAMPLES)
                           : orvex_writer_write_channel_scanline(writer, plane, y, row, WIDTH);
      if (status != ORVEX_STATUS_OK) {
        return status;
      }
    }
  }
  return ORVEX_STATUS_OK;
}

int main(int argc, char** argv) {
  /* Designated fields: the struct can grow, and fields left out are zero. */
  orvex_page_info info = {.struct_size = sizeof(orvex_page_info),
                          .width = WIDTH,
                          .height = HEIGHT,
                          .bits_per_sample = 8,
                          .samples_per_pixel = SAMPLES,
                          .extra_samples = 2,
                          .sample_format = ORVEX_SAMPLE_FORMAT_UINT,
                          .photometric = ORVEX_PHOTOMETRIC_RGB,
                          .resolution_unit = ORVEX_RESOLUTION_UNIT_INCH,
                          .x_resolution = 300.0F,
                          .y_resolution = 300.0F};
  const orvex_channel channels[2] = {{.struct_size = sizeof(orvex_channel),
                                      .kind = ORVEX_CHANNEL_UNASSOCIATED_ALPHA,
                                      .name_size = 5,
                                      .name = "Alpha"},
                                     {.struct_size = sizeof(orvex_channel),
                                      .kind = ORVEX_CHANNEL_SPOT,
                                      .name_size = 7,
                                      .name = "Varnish"}};
  int32_t planar = ORVEX_PLANAR_CONTIG;
  orvex_writer* writer = NULL;
  const char* layout = "";
  orvex_status status;
  if (argc < 2 || argc > 3 ||
      (argc == 3 &&
       orvex_parse_word(ORVEX_VOCABULARY_PLANAR, argv[2], &planar) != ORVEX_STATUS_OK)) {
    fprintf(stderr, "usage: %s OUT.tif [contig|separate]\n", argv[0]);
    return 2;
  }
  /* Every check runs here, before anything touches the disk. */
  status = orvex_writer_create(argv[1], &info, channels, 2, planar, &writer);
  if (status == ORVEX_STATUS_OK) {
    status = writeRows(writer, planar);
  }
  if (status == ORVEX_STATUS_OK) {
    status = orvex_writer_close(writer);
  }
  orvex_writer_destroy(writer);
  if (status != ORVEX_STATUS_OK) {
    const char* reason = "";
    orvex_last_failure(&reason);
    fprintf(stderr, "%s: not written: %s\n", argv[1], reason);
    return 1;
  }
  orvex_display_text(ORVEX_VOCABULARY_PLANAR, planar, &layout);
  printf("%s: %u x %u RGB, 8 bits, alpha \"Alpha\", spot colour \"Varnish\", %s\n", argv[1], WIDTH,
         HEIGHT, layout);
  return 0;
}
