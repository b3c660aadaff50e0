/* The library's C interface, for hosts in any language: plain C99 over opaque handles,
 * compiled as C or as C++, exported from the same library as the six C++ entry points.
 *
 * Every function returns an orvex_status. A failing call leaves its reason, as text, for the
 * calling thread (orvex_last_failure). No exception and no C++ type crosses this interface.
 * Handles are driven by one thread at a time; separate handles may be used on separate
 * threads at once. Functions that take no handle may be called from any thread.
 *
 * Text is UTF-8 everywhere: paths, channel names, reasons and log records. */
#ifndef ORVEX_ORVEX_C_H
#define ORVEX_ORVEX_C_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(ORVEX_BUILDING)
#define ORVEX_C_API __declspec(dllexport)
#else
#define ORVEX_C_API __declspec(dllimport)
#endif
#else
/** Marks the functions of this header: exported from the library, imported by hosts. */
#define ORVEX_C_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/** The version of this interface the header describes; orvex_interface_version() gives the
 * library's. A host built against version N runs with a library of version N or later. */
#define ORVEX_C_INTERFACE_VERSION 1

/** The result of every call: one of the ORVEX_STATUS_ constants. */
typedef int32_t orvex_status;

#define ORVEX_STATUS_OK 0                /**< The call did what it says. */
#define ORVEX_STATUS_NOT_FOUND 1         /**< A file or folder named does not exist. */
#define ORVEX_STATUS_PERMISSION_DENIED 2 /**< The system refused access to a file. */
#define ORVEX_STATUS_REFUSED 3           /**< A directory or layout the library does not read. */
#define ORVEX_STATUS_INVALID_ARGUMENT 4  /**< A null pointer, an ill-formed value or name. */
#define ORVEX_STATUS_OUT_OF_RANGE 5      /**< A page, channel, row or value index too large. */
#define ORVEX_STATUS_DAMAGED_DATA 6      /**< The file cannot be decoded as TIFF. */
#define ORVEX_STATUS_NO_SPACE 7          /**< The disk is full, or the file too large for it. */
#define ORVEX_STATUS_OUT_OF_MEMORY 8     /**< An allocation failed. */
#define ORVEX_STATUS_WRONG_STATE 9       /**< A call out of order (no page, rows missing...). */

/* Enumerations carried as int32_t; the values of include/orvex/TiffImageInfo.h. */
#define ORVEX_SAMPLE_FORMAT_UNKNOWN (-1)
#define ORVEX_SAMPLE_FORMAT_UINT 1
#define ORVEX_SAMPLE_FORMAT_INT 2
#define ORVEX_SAMPLE_FORMAT_IEEE_FP 3
#define ORVEX_SAMPLE_FORMAT_VOID 4
#define ORVEX_SAMPLE_FORMAT_COMPLEX_INT 5
#define ORVEX_SAMPLE_FORMAT_COMPLEX_IEEE_FP 6

#define ORVEX_PHOTOMETRIC_UNKNOWN (-1)
#define ORVEX_PHOTOMETRIC_MIN_IS_WHITE 0
#define ORVEX_PHOTOMETRIC_MIN_IS_BLACK 1
#define ORVEX_PHOTOMETRIC_RGB 2
#define ORVEX_PHOTOMETRIC_MASK 3
#define ORVEX_PHOTOMETRIC_SEPARATED 4
#define ORVEX_PHOTOMETRIC_CIE_LAB 5
#define ORVEX_PHOTOMETRIC_ICC_LAB 6
#define ORVEX_PHOTOMETRIC_ITU_LAB 7
#define ORVEX_PHOTOMETRIC_CFA 8
#define ORVEX_PHOTOMETRIC_LOG_L 9
#define ORVEX_PHOTOMETRIC_LOG_LUV 10

#define ORVEX_RESOLUTION_UNIT_UNKNOWN (-1)
#define ORVEX_RESOLUTION_UNIT_INCH 0
#define ORVEX_RESOLUTION_UNIT_CENTIMETER 1

#define ORVEX_CHANNEL_UNSPECIFIED 0
#define ORVEX_CHANNEL_ASSOCIATED_ALPHA 1
#define ORVEX_CHANNEL_UNASSOCIATED_ALPHA 2
#define ORVEX_CHANNEL_SPOT 3

#define ORVEX_PLANAR_CONTIG 1   /**< The samples of a pixel side by side. */
#define ORVEX_PLANAR_SEPARATE 2 /**< Each channel a plane of its own. */

/** The enumerations the vocabulary names (orvex_word, orvex_parse_word). */
#define ORVEX_VOCABULARY_SAMPLE_FORMAT 0
#define ORVEX_VOCABULARY_PHOTOMETRIC 1
#define ORVEX_VOCABULARY_RESOLUTION_UNIT 2
#define ORVEX_VOCABULARY_CHANNEL_KIND 3
#define ORVEX_VOCABULARY_PLANAR 4

/** One page (image directory) as delivered, or as to be written. A host sets `struct_size`
 * to sizeof(orvex_page_info) before handing the struct over; a later library fills or reads
 * only the fields that size covers, so the struct can grow at its end. */
typedef struct orvex_page_info {
  uint32_t struct_size;
  uint32_t width;          /**< Pixels per row of the upright picture. */
  uint32_t height;         /**< Rows of the upright picture. */
  uint32_t scanline_count; /**< Scanlines delivered (read only; ignored when writing). */
  uint16_t bits_per_sample;
  uint16_t samples_per_pixel; /**< Extra samples included. */
  uint16_t extra_samples;     /**< Samples beyond the colour model, the last of a pixel. */
  /** 1: each scanline is a row, top row first; 0: a column, left column first, each from
   * top to bottom (stored orientations 5 to 8). Read only; ignored when writing. */
  uint16_t scanlines_are_rows;
  int32_t sample_format;   /**< ORVEX_SAMPLE_FORMAT_ */
  int32_t photometric;     /**< ORVEX_PHOTOMETRIC_ */
  int32_t resolution_unit; /**< ORVEX_RESOLUTION_UNIT_ */
  float x_resolution;
  float y_resolution;
  uint32_t icc_profile_size; /**< Bytes of the ICC profile; 0 when there is none. */
  /** The ICC profile. When read: owned by the reader, valid until another page is selected
   * or the reader is destroyed. When written: read during orvex_writer_create only. */
  const uint8_t* icc_profile;
} orvex_page_info;

/** One extra channel. */
typedef struct orvex_channel {
  int32_t kind;       /**< ORVEX_CHANNEL_ */
  uint32_t name_size; /**< Bytes of `name`, without a terminator. */
  /** The name in UTF-8. When read: owned by the reader, NUL-terminated, valid until another
   * page is selected or the reader is destroyed. When written: `name_size` bytes, read
   * during orvex_writer_create only; may be null when `name_size` is 0. */
  const char* name;
} orvex_channel;

typedef struct orvex_reader orvex_reader; /**< A file open for reading. */
typedef struct orvex_writer orvex_writer; /**< A file being written. */

/** Receives every record the library logs: level 0 (detail) to 4 (error) and the text,
 * valid during the call only. Runs on the thread that logs, one call at a time; it returns
 * quickly and calls nothing of this library. */
typedef void (*orvex_log_callback)(int32_t level, const char* text, void* user_data);

/* --- Versions ------------------------------------------------------------------------- */

/** The interface version of the library loaded (ORVEX_C_INTERFACE_VERSION when built). */
ORVEX_C_API orvex_status orvex_interface_version(int32_t* version);
/** The library's version as numbers (1, 3, 4) and as text ("1.3.4", valid while the
 * library is loaded); each null pointer is skipped. */
ORVEX_C_API orvex_status orvex_version(uint32_t* major, uint32_t* minor, uint32_t* patch,
                                       const char** text);

/* --- Failures and the log ---------------------------------------------------------------- */

/** Why the last failing call of the calling thread failed: the first error the library
 * logged during it, or the record that refused a page it does not read, followed, when the
 * file system was the cause, by the system's words ("...: No such file or directory").
 * "" before any failure. Valid until the next failing call on this thread. */
ORVEX_C_API orvex_status orvex_last_failure(const char** reason);

/** Sends every log record to `callback` with `user_data` (null: none). Once this returns,
 * the previous callback is no longer running. Hosts of this interface observe the log here
 * rather than with merrow_logger_set_observer, which would take the records away from the
 * failure reasons. */
ORVEX_C_API orvex_status orvex_set_log_callback(orvex_log_callback callback, void* user_data);

/** With `enabled` 1, libtiff's errors and warnings about the files this library opens go to
 * the log (levels 4 and 3, prefixed "[libtiff] ") instead of libtiff's own handlers, which
 * print to stderr; a failing call's reason then ends with libtiff's first error. 0 restores
 * libtiff's handlers, the default. */
ORVEX_C_API orvex_status orvex_route_libtiff_messages(int32_t enabled);

/* --- Vocabulary ------------------------------------------------------------------------ */

/** The word of an enumeration value ("min_is_black", "unassociated_alpha", "spot"), valid
 * while the library is loaded. ORVEX_STATUS_OUT_OF_RANGE for a value without one. */
ORVEX_C_API orvex_status orvex_word(int32_t vocabulary, int32_t value, const char** word);
/** The text for people of an enumeration value ("unassociated alpha"). */
ORVEX_C_API orvex_status orvex_display_text(int32_t vocabulary, int32_t value, const char** text);
/** The value a word names; ORVEX_STATUS_INVALID_ARGUMENT for a word of no value. */
ORVEX_C_API orvex_status orvex_parse_word(int32_t vocabulary, const char* word, int32_t* value);

/* --- Reading --------------------------------------------------------------------------- */

/** Opens a TIFF file. On success `*reader` is a new handle for orvex_reader_destroy; on
 * failure it is null. */
ORVEX_C_API orvex_status orvex_reader_open(const char* path, orvex_reader** reader);
/** Closes the file and frees the handle, and every pointer it handed out; null is ignored. */
ORVEX_C_API orvex_status orvex_reader_destroy(orvex_reader* reader);
/** The number of pages (at most 65535). */
ORVEX_C_API orvex_status orvex_reader_page_count(orvex_reader* reader, uint32_t* count);
/** Makes `page` the current page. Ends the validity of every pointer handed out for the
 * previous one. ORVEX_STATUS_REFUSED for a page the library does not read. */
ORVEX_C_API orvex_status orvex_reader_select_page(orvex_reader* reader, uint32_t page);
/** Describes the current page; `info->struct_size` set by the host. */
ORVEX_C_API orvex_status orvex_reader_page_info(orvex_reader* reader, orvex_page_info* info);
/** Extra channel `index` of the current page, below `extra_samples`: every extra sample has
 * one, names with their surrogate pairs joined into UTF-8, and an extra sample the file
 * describes nowhere (the alpha of a YCbCr page) an unnamed associated alpha. */
ORVEX_C_API orvex_status orvex_reader_channel(orvex_reader* reader, uint32_t index,
                                              orvex_channel* channel);
/** Scanline `scanline` of the current page, every sample of a pixel side by side. `*data`
 * belongs to the reader and stays valid until the next read of either form, another page
 * or the handle's destruction. */
ORVEX_C_API orvex_status orvex_reader_read_scanline(orvex_reader* reader, uint32_t scanline,
                                                    const uint8_t** data, uint32_t* size);
/** Scanline `scanline` of one channel (colour samples first, then the extra channels). */
ORVEX_C_API orvex_status orvex_reader_read_channel_scanline(orvex_reader* reader, uint32_t channel,
                                                            uint32_t scanline, const uint8_t** data,
                                                            uint32_t* size);

/* --- Writing --------------------------------------------------------------------------- */

/** Checks a page to write and, when the library's own reader would read it, creates a
 * temporary file beside `path`; nothing is written at `path` before orvex_writer_close.
 * `channels` holds `channel_count` records, one per extra sample; `planar` is
 * ORVEX_PLANAR_CONTIG or ORVEX_PLANAR_SEPARATE. On failure `*writer` is null. */
ORVEX_C_API orvex_status orvex_writer_create(const char* path, const orvex_page_info* info,
                                             const orvex_channel* channels, uint32_t channel_count,
                                             int32_t planar, orvex_writer** writer);
/** Row `row` of a contiguous page, in increasing order from 0; `size` at least one row. */
ORVEX_C_API orvex_status orvex_writer_write_scanline(orvex_writer* writer, uint32_t row,
                                                     const uint8_t* data, uint32_t size);
/** Row `row` of channel `channel` of a separate page: every row of channel 0, then of 1... */
ORVEX_C_API orvex_status orvex_writer_write_channel_scanline(orvex_writer* writer, uint32_t channel,
                                                             uint32_t row, const uint8_t* data,
                                                             uint32_t size);
/** Finishes the file once every row is written, and puts it in place of `path`. On failure
 * `path` is as it was and the temporary file is gone. The handle still needs destroying. */
ORVEX_C_API orvex_status orvex_writer_close(orvex_writer* writer);
/** Frees the handle; a file not closed successfully is dropped, `path` left as it was.
 * Null is ignored. */
ORVEX_C_API orvex_status orvex_writer_destroy(orvex_writer* writer);

#ifdef __cplusplus
}
#endif

#endif /* ORVEX_ORVEX_C_H */
