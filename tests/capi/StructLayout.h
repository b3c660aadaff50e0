/* The size and field offsets of every struct of orvex_c.h, pinned: a change breaks hosts
 * built against the released header. Included from a C99 source and from C++, so both
 * languages see the same layout. */
#ifndef ORVEX_TESTS_STRUCT_LAYOUT_H
#define ORVEX_TESTS_STRUCT_LAYOUT_H

#include <stddef.h>

#include "orvex/orvex_c.h"

#define ORVEX_PIN(name, condition) typedef char orvex_pinned_##name[(condition) ? 1 : -1]

ORVEX_PIN(page_struct_size, offsetof(orvex_page_info, struct_size) == 0);
ORVEX_PIN(page_width, offsetof(orvex_page_info, width) == 4);
ORVEX_PIN(page_height, offsetof(orvex_page_info, height) == 8);
ORVEX_PIN(page_scanline_count, offsetof(orvex_page_info, scanline_count) == 12);
ORVEX_PIN(page_bits, offsetof(orvex_page_info, bits_per_sample) == 16);
ORVEX_PIN(page_samples, offsetof(orvex_page_info, samples_per_pixel) == 18);
ORVEX_PIN(page_extra, offsetof(orvex_page_info, extra_samples) == 20);
ORVEX_PIN(page_rows, offsetof(orvex_page_info, scanlines_are_rows) == 22);
ORVEX_PIN(page_sample_format, offsetof(orvex_page_info, sample_format) == 24);
ORVEX_PIN(page_photometric, offsetof(orvex_page_info, photometric) == 28);
ORVEX_PIN(page_unit, offsetof(orvex_page_info, resolution_unit) == 32);
ORVEX_PIN(page_x_resolution, offsetof(orvex_page_info, x_resolution) == 36);
ORVEX_PIN(page_y_resolution, offsetof(orvex_page_info, y_resolution) == 40);
ORVEX_PIN(page_icc_size, offsetof(orvex_page_info, icc_profile_size) == 44);
ORVEX_PIN(page_icc, offsetof(orvex_page_info, icc_profile) == 48);
ORVEX_PIN(page_scanline_size, offsetof(orvex_page_info, scanline_size) == 48 + sizeof(void*));
ORVEX_PIN(page_channel_scanline_size,
          offsetof(orvex_page_info, channel_scanline_size) == 52 + sizeof(void*));
ORVEX_PIN(page_planar, offsetof(orvex_page_info, planar) == 56 + sizeof(void*));
ORVEX_PIN(page_rows_per_block, offsetof(orvex_page_info, rows_per_block) == 60 + sizeof(void*));
ORVEX_PIN(page_size, sizeof(orvex_page_info) == 64 + sizeof(void*));

ORVEX_PIN(channel_struct_size, offsetof(orvex_channel, struct_size) == 0);
ORVEX_PIN(channel_kind, offsetof(orvex_channel, kind) == 4);
ORVEX_PIN(channel_name_size, offsetof(orvex_channel, name_size) == 8);
ORVEX_PIN(channel_name, offsetof(orvex_channel, name) == (sizeof(void*) == 8 ? 16 : 12));
/* The colour fields follow where a record of interface version 1 ended. */
#define ORVEX_CHANNEL_V1_SIZE (sizeof(void*) == 8 ? 24 : 16)
ORVEX_PIN(channel_has_color, offsetof(orvex_channel, has_color) == ORVEX_CHANNEL_V1_SIZE);
ORVEX_PIN(channel_color_space, offsetof(orvex_channel, color_space) == ORVEX_CHANNEL_V1_SIZE + 4);
ORVEX_PIN(channel_components, offsetof(orvex_channel, components) == ORVEX_CHANNEL_V1_SIZE + 8);
ORVEX_PIN(channel_opacity, offsetof(orvex_channel, opacity) == ORVEX_CHANNEL_V1_SIZE + 16);
ORVEX_PIN(channel_srgb, offsetof(orvex_channel, srgb) == ORVEX_CHANNEL_V1_SIZE + 18);
ORVEX_PIN(channel_converted, offsetof(orvex_channel, converted) == ORVEX_CHANNEL_V1_SIZE + 21);
ORVEX_PIN(channel_lab, offsetof(orvex_channel, lab) == ORVEX_CHANNEL_V1_SIZE + 24);
ORVEX_PIN(channel_size, sizeof(orvex_channel) == (sizeof(void*) == 8 ? 64 : 52));

ORVEX_PIN(status_width, sizeof(orvex_status) == 4);

#endif
