"""The C interface from Python through ctypes: no compiled glue, only the shared library named
by ORVEX_LIBRARY and the declarations of orvex_c.h this file needs, restated below."""
import ctypes
import os

import numpy
import pytest

from ctypes import POINTER, byref, c_char_p, c_float, c_int32, c_uint8, c_uint16, c_uint32

STATUS_NOT_FOUND = 1
CHANNEL_UNASSOCIATED_ALPHA, CHANNEL_SPOT = 2, 3


class PageInfo(ctypes.Structure):
    _fields_ = [("struct_size", c_uint32), ("width", c_uint32), ("height", c_uint32),
                ("scanline_count", c_uint32), ("bits_per_sample", c_uint16),
                ("samples_per_pixel", c_uint16), ("extra_samples", c_uint16),
                ("scanlines_are_rows", c_uint16), ("sample_format", c_int32),
                ("photometric", c_int32), ("resolution_unit", c_int32),
                ("x_resolution", c_float), ("y_resolution", c_float),
                ("icc_profile_size", c_uint32), ("icc_profile", POINTER(c_uint8))]


class Channel(ctypes.Structure):
    _fields_ = [("struct_size", c_uint32), ("kind", c_int32), ("name_size", c_uint32),
                ("name", c_char_p)]


lib = ctypes.CDLL(os.environ["ORVEX_LIBRARY"])
handle = ctypes.c_void_p
row_out = [POINTER(POINTER(c_uint8)), POINTER(c_uint32)]
for name, arguments in {
        "orvex_last_failure": [POINTER(c_char_p)],
        "orvex_reader_open": [c_char_p, POINTER(handle)],
        "orvex_reader_destroy": [handle],
        "orvex_reader_select_page": [handle, c_uint32],
        "orvex_reader_page_info": [handle, POINTER(PageInfo)],
        "orvex_reader_channel": [handle, c_uint32, POINTER(Channel)],
        "orvex_reader_read_scanline": [handle, c_uint32] + row_out,
        "orvex_reader_read_channel_scanline": [handle, c_uint32, c_uint32] + row_out,
        "orvex_writer_create": [c_char_p, POINTER(PageInfo), POINTER(Channel), c_uint32,
                                c_int32, POINTER(handle)],
        "orvex_writer_write_scanline": [handle, c_uint32, c_char_p, c_uint32],
        "orvex_writer_close": [handle],
        "orvex_writer_destroy": [handle]}.items():
    getattr(lib, name).argtypes = arguments
    getattr(lib, name).restype = c_int32


def call(function, *arguments):
    """Calls a function of the interface; a failure raises its status and reason."""
    status = function(*arguments)
    if status != 0:
        reason = c_char_p()
        lib.orvex_last_failure(byref(reason))
        raise RuntimeError(status, reason.value.decode())


def bytes_of(function, *arguments):
    """The scanline a read hands out, copied before the reader's next read replaces it."""
    data, size = POINTER(c_uint8)(), c_uint32()
    call(function, *arguments, byref(data), byref(size))
    return ctypes.string_at(data, size.value)


def read_page(path):
    """The first page's description, channels as (kind, name) and every scanline, interleaved
    and per channel."""
    reader = handle()
    call(lib.orvex_reader_open, str(path).encode(), byref(reader))
    try:
        call(lib.orvex_reader_select_page, reader, 0)
        info = PageInfo(struct_size=ctypes.sizeof(PageInfo))
        call(lib.orvex_reader_page_info, reader, byref(info))
        channels = []
        for i in range(info.extra_samples):
            channel = Channel(struct_size=ctypes.sizeof(Channel))
            call(lib.orvex_reader_channel, reader, i, byref(channel))
            channels.append((channel.kind, channel.name.decode()))
        rows = [bytes_of(lib.orvex_reader_read_scanline, reader, row)
                for row in range(info.scanline_count)]
        planes = [[bytes_of(lib.orvex_reader_read_channel_scanline, reader, channel, row)
                   for row in range(info.scanline_count)]
                  for channel in range(info.samples_per_pixel)]
        return info, channels, rows, planes
    finally:
        lib.orvex_reader_destroy(reader)


# Written through the interface, read back through it (files of other programs are read through
# it against tifffile by the Python tests); a file that is not there fails with its status and
# reason.
def test_a_file_written_through_the_interface_reads_back_exactly(tmp_path):
    names = [(CHANNEL_UNASSOCIATED_ALPHA, "Alpha"), (CHANNEL_SPOT, "Lack für Glanz")]
    picture = (numpy.arange(40 * 30 * 3, dtype=numpy.uint32) * 7 % 251).astype(numpy.uint8)
    picture = picture.reshape(30, 40, 3)
    info = PageInfo(struct_size=ctypes.sizeof(PageInfo), width=40, height=30,
                    bits_per_sample=8, samples_per_pixel=3, extra_samples=2, sample_format=1,
                    photometric=1, resolution_unit=0, x_resolution=72, y_resolution=72)
    records = (Channel * 2)(*[Channel(ctypes.sizeof(Channel), kind, len(name.encode()),
                                      name.encode()) for kind, name in names])
    path = tmp_path / "grey-alpha-spot.tif"
    writer = handle()
    call(lib.orvex_writer_create, str(path).encode(), byref(info), records, 2, 1,
         byref(writer))
    try:
        for y in range(30):
            call(lib.orvex_writer_write_scanline, writer, y, picture[y].tobytes(), 120)
        call(lib.orvex_writer_close, writer)
    finally:
        lib.orvex_writer_destroy(writer)

    info, channels, rows, planes = read_page(path)
    assert (info.width, info.height, info.samples_per_pixel) == (40, 30, 3)
    assert channels == names
    assert rows == [picture[y].tobytes() for y in range(30)]
    assert planes == [[picture[y, :, c].tobytes() for y in range(30)] for c in range(3)]
    with pytest.raises(RuntimeError) as error:
        read_page(tmp_path / "none.tif")
    assert error.value.args == (STATUS_NOT_FOUND, f"[TiffReader::begin] {tmp_path}/none.tif open "
                                "file failed!: No such file or directory")
