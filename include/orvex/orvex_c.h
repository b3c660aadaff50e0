/** \file
 * The library's C interface, for hosts in any language: plain C99 over opaque handles,
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
#define ORVEX_C_INTERFACE_VERSION 3

/** The result of every call: one of the ORVEX_STATUS_ constants. */
typedef int32_t orvex_status;

#define ORVEX_STATUS_OK 0                /**< The call did what it says. */
#define ORVEX_STATUS_NOT_FOUND 1         /**< A file or folder named does not exist. */
#define ORVEX_STATUS_PERMISSION_DENIED 2 /**< The system refused access to a file. */
#define ORVEX_STATUS_REFUSED 3           /**< A page or layout the library does not read. */
#define ORVEX_STATUS_INVALID_ARGUMENT 4  /**< A null pointer, an ill-formed value or name. */
#define ORVEX_STATUS_OUT_OF_RANGE 5      /**< A page, channel, row or value index too large. */
#define ORVEX_STATUS_DAMAGED_DATA 6      /**< The file cannot be decoded as TIFF. */
#define ORVEX_STATUS_NO_SPACE 7          /**< The disk is full, or the file too large for it. */
#define ORVEX_STATUS_OUT_OF_MEMORY 8     /**< An allocation failed. */
#define ORVEX_STATUS_WRONG_STATE 9       /**< A call out of order (no page, rows missing...). */

/* Enumerations carried as int32_t, with the values of orvex/TiffImageInfo.h. */
#define ORVEX_SAMPLE_FORMAT_UNKNOWN (-1)      /**< No counterpart; written as uint. */
#define ORVEX_SAMPLE_FORMAT_UINT 1            /**< Unsigned integers. */
#define ORVEX_SAMPLE_FORMAT_INT 2             /**< Two's complement signed integers. */
#define ORVEX_SAMPLE_FORMAT_IEEE_FP 3         /**< IEEE floating point. */
#define ORVEX_SAMPLE_FORMAT_VOID 4            /**< Untyped data. */
#define ORVEX_SAMPLE_FORMAT_COMPLEX_INT 5     /**< Complex signed integers. */
#define ORVEX_SAMPLE_FORMAT_COMPLEX_IEEE_FP 6 /**< Complex IEEE floating point. */

#define ORVEX_PHOTOMETRIC_UNKNOWN (-1)   /**< A TIFF value without counterpart (read only). */
#define ORVEX_PHOTOMETRIC_MIN_IS_WHITE 0 /**< Grey, 0 is white. */
#define ORVEX_PHOTOMETRIC_MIN_IS_BLACK 1 /**< Grey, 0 is black. */
#define ORVEX_PHOTOMETRIC_RGB 2          /**< Red, green, blue; also palette and YCbCr pages. */
#define ORVEX_PHOTOMETRIC_MASK 3         /**< Transparency mask. */
#define ORVEX_PHOTOMETRIC_SEPARATED 4    /**< Separated inks, CMYK. */
#define ORVEX_PHOTOMETRIC_CIE_LAB 5      /**< CIE L*a*b*. */
#define ORVEX_PHOTOMETRIC_ICC_LAB 6      /**< ICC L*a*b*. */
#define ORVEX_PHOTOMETRIC_ITU_LAB 7      /**< ITU L*a*b*. */
#define ORVEX_PHOTOMETRIC_CFA 8          /**< Colour filter array. */
#define ORVEX_PHOTOMETRIC_LOG_L 9        /**< SGI log luminance (read only). */
#define ORVEX_PHOTOMETRIC_LOG_LUV 10     /**< SGI log luminance and chrominance (read only). */

#define ORVEX_RESOLUTION_UNIT_UNKNOWN (-1) /**< No unit. */
#define ORVEX_RESOLUTION_UNIT_INCH 0       /**< Pixels per inch. */
#define ORVEX_RESOLUTION_UNIT_CENTIMETER 1 /**< Pixels per centimetre. */

#define ORVEX_CHANNEL_UNSPECIFIED 0        /**< Any other extra sample. */
#define ORVEX_CHANNEL_ASSOCIATED_ALPHA 1   /**< Alpha premultiplied into the colour samples. */
#define ORVEX_CHANNEL_UNASSOCIATED_ALPHA 2 /**< Alpha independent of the colour samples. */
#define ORVEX_CHANNEL_SPOT 3               /**< A spot colour. */

#define ORVEX_PLANAR_CONTIG 1   /**< The samples of a pixel side by side. */
#define ORVEX_PLANAR_SEPARATE 2 /**< Each channel a plane of its own. */

/* Photoshop colour spaces of a channel's colour (orvex_channel.color_space). */
#define ORVEX_COLOR_SPACE_RGB 0  /**< Red, green, blue, 0 to 65535 each, shown as sRGB. */
#define ORVEX_COLOR_SPACE_HSB 1  /**< Hue 0 to 65535 for 0 to 360 degrees, saturation, brightness. \
                                  */
#define ORVEX_COLOR_SPACE_CMYK 2 /**< Cyan, magenta, yellow, black, 0 (full ink) to 65535 (none). \
                                  */
#define ORVEX_COLOR_SPACE_LAB 7  /**< L* x 100 (0 to 10000); a*, b* x 100 as int16_t. */
#define ORVEX_COLOR_SPACE_GREY 8 /**< Grey ink, 0 (white) to 10000 (black). */

/* The enumerations the vocabulary names (orvex_word, orvex_parse_word). */
#define ORVEX_VOCABULARY_SAMPLE_FORMAT 0   /**< The ORVEX_SAMPLE_FORMAT_ values. */
#define ORVEX_VOCABULARY_PHOTOMETRIC 1     /**< The ORVEX_PHOTOMETRIC_ values. */
#define ORVEX_VOCABULARY_RESOLUTION_UNIT 2 /**< The ORVEX_RESOLUTION_UNIT_ values. */
#define ORVEX_VOCABULARY_CHANNEL_KIND 3    /**< The ORVEX_CHANNEL_ values. */
#define ORVEX_VOCABULARY_PLANAR 4          /**< The ORVEX_PLANAR_ values. */
#define ORVEX_VOCABULARY_COLOR_SPACE 5     /**< The ORVEX_COLOR_SPACE_ values. */

/** One page (image directory) as delivered, or as to be written. A host sets `struct_size`
 * to sizeof(orvex_page_info) before handing the struct over; a later library fills or reads
 * only the fields that size covers, so the struct can grow at its end. */
typedef struct orvex_page_info {
  uint32_t struct_size;       /**< sizeof(orvex_page_info) as the host was built. */
  uint32_t width;             /**< Pixels per row of the upright picture. */
  uint32_t height;            /**< Rows of the upright picture. */
  uint32_t scanline_count;    /**< Scanlines delivered (read only; ignored when writing). */
  uint16_t bits_per_sample;   /**< Bits of one delivered sample. */
  uint16_t samples_per_pixel; /**< Extra samples included. */
  uint16_t extra_samples;     /**< Samples beyond the colour model, the last of a pixel. */
  /** 1: each scanline is a row, top row first; 0: a column, left column first, each from
   * top to bottom (stored orientations 5 to 8). Read only; ignored when writing. */
  uint16_t scanlines_are_rows;
  int32_t sample_format;     /**< ORVEX_SAMPLE_FORMAT_ */
  int32_t photometric;       /**< ORVEX_PHOTOMETRIC_ */
  int32_t resolution_unit;   /**< ORVEX_RESOLUTION_UNIT_ */
  float x_resolution;        /**< Pixels per unit along a row of the upright picture. */
  float y_resolution;        /**< Pixels per unit along a column of the upright picture. */
  uint32_t icc_profile_size; /**< Bytes of the ICC profile; 0 when there is none. */
  /** The ICC profile. When read: owned by the reader, valid until another page is selected
   * or the reader is destroyed. When written: read during orvex_writer_create only. */
  const uint8_t* icc_profile;
  uint32_t scanline_size;         /**< Bytes of a scanline of every sample (read only). */
  uint32_t channel_scanline_size; /**< Bytes of a scanline of one channel (read only). */
  /** How the file stores the delivered samples, ORVEX_PLANAR_CONTIG or ORVEX_PLANAR_SEPARATE
   * (read only): block reads of whole strips go straight to the host in the form that matches
   * it, every sample for contiguous pixels, one channel for separate planes. */
  int32_t planar;
  /** Stored rows of a strip, or of a row of tiles (read only): block reads from and to
   * multiples of it decode each block once. */
  uint32_t rows_per_block;
} orvex_page_info;

/** One extra channel. A host sets `struct_size` to sizeof(orvex_channel) in every record it
 * hands over. The library fills or reads only the fields that size covers and steps through
 * an array of records by it, so the struct can grow at its end. */
typedef struct orvex_channel {
  uint32_t struct_size; /**< sizeof(orvex_channel) as the host was built. */
  int32_t kind;         /**< ORVEX_CHANNEL_ */
  uint32_t name_size;   /**< Bytes of `name`, without a terminator. */
  /** The name in UTF-8. When read: owned by the reader, NUL-terminated, valid until another
   * page is selected or the reader is destroyed. When written: `name_size` bytes, read
   * during orvex_writer_create only; may be null when `name_size` is 0. */
  const char* name;
  /** 1 when the channel has a colour: read, when the file gives one (an alternate spot colour
   * for a spot channel, else a display colour); written, when the host gives one. 0: the
   * fields below are zero when read and ignored when written. Since interface version 2. */
  int32_t has_color;
  int32_t color_space;    /**< ORVEX_COLOR_SPACE_; read, any Photoshop colour-space ID. */
  uint16_t components[4]; /**< The colour in the encoding of `color_space`. */
  uint16_t opacity;       /**< Display opacity, 0 to 100; 0 when read without display info. */
  /** The colour in sRGB, 8 bits a component (read only; ignored when written). */
  uint8_t srgb[3];
  /** 1 when `srgb` and `lab` hold the colour; 0 for a colour space they are not converted
   * from, or a library built without colour conversion (read only). */
  uint8_t converted;
  float lab[3]; /**< The colour in CIE L*a*b*, D50 (read only; ignored when written). */
} orvex_channel;

typedef struct orvex_reader orvex_reader; /**< A file open for reading. */
typedef struct orvex_writer orvex_writer; /**< A file being written. */
typedef struct orvex_cmyk_to_srgb orvex_cmyk_to_srgb; /**< CMYK pixels shown in sRGB. */

/** Receives every record the library logs: level 0 (detail) to 4 (error) and the text,
 * valid during the call only. Runs on the thread that logs, one call at a time; it returns
 * quickly and calls nothing of this library. */
typedef void (*orvex_log_callback)(int32_t level, const char* text, void* user_data);

/* --- Versions ------------------------------------------------------------------------- */

/** Reports the interface version of the library loaded.
 * \param version Receives ORVEX_C_INTERFACE_VERSION as the library was built.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_INVALID_ARGUMENT when `version` is null. */
ORVEX_C_API orvex_status orvex_interface_version(int32_t* version);

/** Reports the library's version: 1, 3, 4 and "1.3.4" for version 1.3.4.
 * \param major Receives the major version; skipped when null.
 * \param minor Receives the minor version; skipped when null.
 * \param patch Receives the patch number; skipped when null.
 * \param text Receives the version as text, valid while the library is loaded; skipped when
 *   null.
 * \return ORVEX_STATUS_OK. */
ORVEX_C_API orvex_status orvex_version(uint32_t* major, uint32_t* minor, uint32_t* patch,
                                       const char** text);

/* --- Failures and the log ---------------------------------------------------------------- */

/** Explains the last failing call of the calling thread: the first error the library logged
 * during it, or the record that refused a page it does not read, followed, when the file
 * system was the cause, by the system's words ("...: No such file or directory").
 * \param reason Receives the text; "" before any failure on this thread. Valid until the
 *   next failing call on this thread.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_INVALID_ARGUMENT when `reason` is null. */
ORVEX_C_API orvex_status orvex_last_failure(const char** reason);

/** Sends every log record to a callback. Hosts of this interface observe the log here rather
 * than with merrow_logger_set_observer(), which would take the records away from the
 * failure reasons.
 * \param callback The callback; null for none. Once this call returns, the previous one is
 *   no longer running.
 * \param user_data Handed to every call of `callback`.
 * \return ORVEX_STATUS_OK. */
ORVEX_C_API orvex_status orvex_set_log_callback(orvex_log_callback callback, void* user_data);

/** Routes libtiff's errors and warnings about the files this library opens to the log
 * (levels 4 and 3, prefixed "[libtiff] ") instead of libtiff's own handlers, which print to
 * stderr; a failing call's reason then ends with libtiff's first error.
 * \param enabled 1 to route them; 0 to leave them to libtiff's handlers, the default.
 * \return ORVEX_STATUS_OK. */
ORVEX_C_API orvex_status orvex_route_libtiff_messages(int32_t enabled);

/* --- Vocabulary ------------------------------------------------------------------------ */

/** Names an enumeration value by its word: "min_is_black", "unassociated_alpha", "spot".
 * \param vocabulary One of the ORVEX_VOCABULARY_ constants.
 * \param value A value of that enumeration.
 * \param word Receives the word, valid while the library is loaded.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_OUT_OF_RANGE for a value without a word. */
ORVEX_C_API orvex_status orvex_word(int32_t vocabulary, int32_t value, const char** word);

/** Names an enumeration value for people: "unassociated alpha", "spot colour".
 * \param vocabulary One of the ORVEX_VOCABULARY_ constants.
 * \param value A value of that enumeration.
 * \param text Receives the text, valid while the library is loaded.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_OUT_OF_RANGE for a value without a text. */
ORVEX_C_API orvex_status orvex_display_text(int32_t vocabulary, int32_t value, const char** text);

/** Reads a word back.
 * \param vocabulary One of the ORVEX_VOCABULARY_ constants.
 * \param word A word of that vocabulary, as orvex_word() gives it.
 * \param value Receives the value the word names.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_INVALID_ARGUMENT for a word that names no value. */
ORVEX_C_API orvex_status orvex_parse_word(int32_t vocabulary, const char* word, int32_t* value);

/* --- Reading --------------------------------------------------------------------------- */

/** Opens a TIFF file for reading.
 * \param path The file's path in UTF-8.
 * \param reader Receives a new handle for orvex_reader_destroy(); null on failure.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_NOT_FOUND or ORVEX_STATUS_PERMISSION_DENIED from the
 *   file system; ORVEX_STATUS_DAMAGED_DATA for a file that is no TIFF or has no page. */
ORVEX_C_API orvex_status orvex_reader_open(const char* path, orvex_reader** reader);

/** Closes the file and frees the handle, with every pointer it handed out.
 * \param reader The handle; null is ignored.
 * \return ORVEX_STATUS_OK. */
ORVEX_C_API orvex_status orvex_reader_destroy(orvex_reader* reader);

/** Counts the pages of the file.
 * \param reader The handle.
 * \param count Receives the number of pages (at most 65535).
 * \return ORVEX_STATUS_OK. */
ORVEX_C_API orvex_status orvex_reader_page_count(orvex_reader* reader, uint32_t* count);

/** Makes a page the current one, ending the validity of every pointer handed out for the
 * previous one.
 * \param reader The handle.
 * \param page Zero-based, below the page count.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_REFUSED for a page the library does not read;
 *   ORVEX_STATUS_DAMAGED_DATA when libtiff cannot read it; ORVEX_STATUS_OUT_OF_RANGE. */
ORVEX_C_API orvex_status orvex_reader_select_page(orvex_reader* reader, uint32_t page);

/** Describes the current page as its scanlines are delivered.
 * \param reader The handle.
 * \param info Receives the description, as far as `info->struct_size`, set by the host,
 *   reaches.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_WRONG_STATE when no page is selected. */
ORVEX_C_API orvex_status orvex_reader_page_info(orvex_reader* reader, orvex_page_info* info);

/** Describes one extra channel of the current page. Every extra sample has one record, its
 * name with surrogate pairs joined into UTF-8; an extra sample the file describes nowhere
 * (the alpha of a YCbCr page) is an unnamed associated alpha.
 * \param reader The handle.
 * \param index Zero-based, below `extra_samples`.
 * \param channel Receives the record; its name stays valid until another page is selected or
 *   the reader is destroyed.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_OUT_OF_RANGE; ORVEX_STATUS_WRONG_STATE. */
ORVEX_C_API orvex_status orvex_reader_channel(orvex_reader* reader, uint32_t index,
                                              orvex_channel* channel);

/** Delivers one scanline with every sample of a pixel side by side.
 * \param reader The handle.
 * \param scanline Zero-based, below `scanline_count`.
 * \param data Receives the scanline, owned by the reader and valid until its next read of
 *   either form, another page or its destruction.
 * \param size Receives the scanline's length in bytes.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_OUT_OF_RANGE; ORVEX_STATUS_DAMAGED_DATA when it cannot
 *   be decoded; ORVEX_STATUS_WRONG_STATE when no page is selected. */
ORVEX_C_API orvex_status orvex_reader_read_scanline(orvex_reader* reader, uint32_t scanline,
                                                    const uint8_t** data, uint32_t* size);

/** Delivers one scanline of one channel.
 * \param reader The handle.
 * \param channel Zero-based sample index, colour samples first, then the extra channels.
 * \param scanline Zero-based, below `scanline_count`.
 * \param data Receives the scanline, valid as for orvex_reader_read_scanline().
 * \param size Receives the scanline's length in bytes.
 * \return As orvex_reader_read_scanline(); ORVEX_STATUS_OUT_OF_RANGE also for a channel
 *   beyond the samples. */
ORVEX_C_API orvex_status orvex_reader_read_channel_scanline(orvex_reader* reader, uint32_t channel,
                                                            uint32_t scanline, const uint8_t** data,
                                                            uint32_t* size);

/** Reads `count` scanlines from scanline `first` into the host's buffer, with every sample of
 * a pixel side by side: the bytes orvex_reader_read_scanline() gives, one scanline after the
 * other, `stride` bytes apart (the bytes between scanlines are left as they are). Strips of
 * upright whole-byte samples stored as delivered are decoded straight into the buffer.
 * \param reader The handle.
 * \param first Zero-based first scanline.
 * \param count Scanlines to read; 0 reads nothing.
 * \param buffer The host's buffer, written during the call only.
 * \param stride Bytes from one scanline to the next, at least `scanline_size`.
 * \param buffer_size Bytes of `buffer`, at least (count - 1) x stride + `scanline_size`.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_OUT_OF_RANGE when the scanlines pass the last one;
 *   ORVEX_STATUS_INVALID_ARGUMENT for a null buffer, a short stride or a short buffer;
 *   ORVEX_STATUS_DAMAGED_DATA when a scanline cannot be decoded (the scanlines before it are
 *   in the buffer); ORVEX_STATUS_WRONG_STATE when no page is selected. */
ORVEX_C_API orvex_status orvex_reader_read_scanlines(orvex_reader* reader, uint32_t first,
                                                     uint32_t count, uint8_t* buffer,
                                                     uint64_t stride, uint64_t buffer_size);

/** Reads `count` scanlines of one channel from scanline `first` into the host's buffer: the
 * bytes orvex_reader_read_channel_scanline() gives, laid as orvex_reader_read_scanlines()
 * lays them. Strips of separate planes stored as delivered are decoded straight into it.
 * \param reader The handle.
 * \param channel Zero-based sample index, colour samples first, then the extra channels.
 * \param first Zero-based first scanline.
 * \param count Scanlines to read; 0 reads nothing.
 * \param buffer The host's buffer, written during the call only.
 * \param stride Bytes from one scanline to the next, at least `channel_scanline_size`.
 * \param buffer_size Bytes of `buffer`, at least (count - 1) x stride +
 *   `channel_scanline_size`.
 * \return As orvex_reader_read_scanlines(); ORVEX_STATUS_OUT_OF_RANGE also for a channel
 *   beyond the samples. */
ORVEX_C_API orvex_status orvex_reader_read_channel_scanlines(orvex_reader* reader, uint32_t channel,
                                                             uint32_t first, uint32_t count,
                                                             uint8_t* buffer, uint64_t stride,
                                                             uint64_t buffer_size);

/* --- Writing --------------------------------------------------------------------------- */

/** Checks a page to write and, when the library's own reader would read it back, creates a
 * temporary file beside the target; nothing is written at `path` before orvex_writer_close().
 * \param path The target's path in UTF-8; an existing file is replaced on success only.
 * \param info The page; `scanline_count` and `scanlines_are_rows` are ignored.
 * \param channels One record per extra sample.
 * \param channel_count Number of records, equal to `extra_samples`.
 * \param planar ORVEX_PLANAR_CONTIG or ORVEX_PLANAR_SEPARATE.
 * \param writer Receives a new handle for orvex_writer_destroy(); null on failure.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_INVALID_ARGUMENT for an ill-formed request;
 *   ORVEX_STATUS_REFUSED for a layout the reader does not read; ORVEX_STATUS_PERMISSION_DENIED
 *   when `path` names a folder; a file-system status. */
ORVEX_C_API orvex_status orvex_writer_create(const char* path, const orvex_page_info* info,
                                             const orvex_channel* channels, uint32_t channel_count,
                                             int32_t planar, orvex_writer** writer);

/** Writes the next row of a contiguous page.
 * \param writer The handle.
 * \param row Zero-based; rows go in increasing order from 0.
 * \param data The row's samples, pixel after pixel; read during the call only.
 * \param size Bytes of `data`, at least one row.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_WRONG_STATE for a row out of order or a separate
 *   page; ORVEX_STATUS_INVALID_ARGUMENT for a short row; ORVEX_STATUS_NO_SPACE. */
ORVEX_C_API orvex_status orvex_writer_write_scanline(orvex_writer* writer, uint32_t row,
                                                     const uint8_t* data, uint32_t size);

/** Writes the next row of a separate page: every row of channel 0, then of channel 1, ...
 * \param writer The handle.
 * \param channel Zero-based sample index.
 * \param row Zero-based row.
 * \param data The row's samples of that channel; read during the call only.
 * \param size Bytes of `data`, at least one channel row.
 * \return As orvex_writer_write_scanline(). */
ORVEX_C_API orvex_status orvex_writer_write_channel_scanline(orvex_writer* writer, uint32_t channel,
                                                             uint32_t row, const uint8_t* data,
                                                             uint32_t size);

/** Finishes the file once every row is written and puts it in place of the target.
 * \param writer The handle, which still needs orvex_writer_destroy().
 * \return ORVEX_STATUS_OK; on failure the target is as it was and the temporary file is
 *   gone (ORVEX_STATUS_WRONG_STATE with rows missing, ORVEX_STATUS_NO_SPACE, ...). */
ORVEX_C_API orvex_status orvex_writer_close(orvex_writer* writer);

/** Frees the handle. A file not closed successfully is dropped, the target left as it was.
 * \param writer The handle; null is ignored.
 * \return ORVEX_STATUS_OK. */
ORVEX_C_API orvex_status orvex_writer_destroy(orvex_writer* writer);

/* --- Showing CMYK --------------------------------------------------------------------- */

/** Prepares the conversion of CMYK pixels to sRGB by Little CMS, relative colorimetric (the
 * paper shows as the screen's white): through `icc_profile` when it is a CMYK profile, else
 * through the library's built-in profile of process inks on white paper. Since interface
 * version 3.
 * \param icc_profile A page's ICC profile, read during the call only; null for none.
 * \param icc_profile_size Bytes of `icc_profile`; 0 for none.
 * \param bits_per_sample 8 or 16 (unsigned, in the machine's byte order, as delivered).
 * \param samples_per_pixel 4 or more: cyan, magenta, yellow and black (0: no ink), then the
 *   samples passed over, as in a delivered scanline.
 * \param built_in Receives 1 when the built-in profile is used, 0 for `icc_profile`; may be
 *   null.
 * \param converter Receives a new handle for orvex_cmyk_to_srgb_destroy(); null on failure.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_INVALID_ARGUMENT for another depth or fewer than four
 *   samples; ORVEX_STATUS_REFUSED from a library built without colour conversion. */
ORVEX_C_API orvex_status orvex_cmyk_to_srgb_create(const uint8_t* icc_profile,
                                                   uint32_t icc_profile_size,
                                                   uint16_t bits_per_sample,
                                                   uint16_t samples_per_pixel, int32_t* built_in,
                                                   orvex_cmyk_to_srgb** converter);

/** Converts `count` pixels, laid as the handle was created for, to `count` x 3 bytes of sRGB.
 * \param converter The handle.
 * \param pixels The pixels; read during the call only.
 * \param count Pixels to convert.
 * \param srgb Receives red, green and blue, 8 bits each, pixel after pixel.
 * \return ORVEX_STATUS_OK; ORVEX_STATUS_INVALID_ARGUMENT for a null pointer. */
ORVEX_C_API orvex_status orvex_cmyk_to_srgb_convert(orvex_cmyk_to_srgb* converter,
                                                    const uint8_t* pixels, uint32_t count,
                                                    uint8_t* srgb);

/** Frees the handle.
 * \param converter The handle; null is ignored.
 * \return ORVEX_STATUS_OK. */
ORVEX_C_API orvex_status orvex_cmyk_to_srgb_destroy(orvex_cmyk_to_srgb* converter);

#ifdef __cplusplus
}
#endif

#endif /* ORVEX_ORVEX_C_H */
