import numpy as np
import pytest
import tifffile

import orvex
from tiffs import DATA, patch_tags

ICC = bytes(range(256)) * 3  # stored byte for byte, never parsed
CHANNELS = [("Alpha", "associated_alpha"), ("PMS 200 C", "spot"), ("Glanz 😀", "unassociated_alpha")]
FORMATS = {"u": ("uint", 1), "i": ("int", 2), "f": ("float", 3)}  # name, TIFF SampleFormat


def read_back(path):
    with orvex.open(path) as file:
        return file[0].info, file[0].read()


@pytest.mark.parametrize("planar", ["contig", "separate"])
@pytest.mark.parametrize("dtype", ["uint8", "uint16", "uint32", "uint64", "int8", "int16",
                                   "int32", "int64", "float32", "float64"])
def test_round_trip_keeps_samples_names_kinds_resolution_and_profile(tmp_path, dtype, planar):
    kind = np.dtype(dtype).kind
    limits = np.finfo(dtype) if kind == "f" else np.iinfo(dtype)
    rng = np.random.default_rng(7)
    picture = (rng.standard_normal((9, 11, 6)) * 1000).astype(dtype) if kind == "f" else \
        rng.integers(limits.min, limits.max, (9, 11, 6), dtype, endpoint=True)
    picture.flat[:2] = limits.min, limits.max
    orvex.write(tmp_path / "out.tif", picture, photometric="rgb", channels=CHANNELS,
                resolution=(300, 118.5, "centimeter"), icc_profile=ICC, planar=planar)
    info, read = read_back(tmp_path / "out.tif")
    assert (info.photometric, info.sample_format, info.bits_per_sample, info.channels,
            info.resolution, info.icc_profile) == (
        "rgb", FORMATS[kind][0], limits.bits, CHANNELS, (300, 118.5, "centimeter"), ICC)
    np.testing.assert_array_equal(read, picture)
    with tifffile.TiffFile(tmp_path / "out.tif") as tif:
        page = tif.pages[0]
        assert (page.photometric, page.sampleformat, page.planarconfig, page.extrasamples,
                page.tags["ResolutionUnit"].value) == (
            2, FORMATS[kind][1], 1 + (planar == "separate"), (1, 0, 2), 3)


@pytest.mark.parametrize("side_by_side", [True, False])
@pytest.mark.parametrize("planar", ["contig", "separate"])
@pytest.mark.parametrize("shape, photometric, channels, written", [
    ((5, 7), None, [], ("min_is_black", 1)),
    ((5, 7, 3), None, [], ("rgb", 2)),
    ((5, 7, 4), None, [], ("separated", 5)),
    ((5, 7, 5), "separated", [("PMS 200 C", "spot")], ("separated", 5)),
    ((5, 7, 2), "min_is_white", [("", "unspecified")], ("min_is_white", 0))])
def test_layouts_and_photometrics(tmp_path, side_by_side, planar, shape, photometric, channels,
                                  written):
    wide = np.random.default_rng(3).integers(0, 65535, (shape[0], 2 * shape[1]) + shape[2:])
    picture = wide[:, ::-2].astype(np.uint16)  # pixels apart, right to left
    orvex.write(tmp_path / "out.tif", np.ascontiguousarray(picture) if side_by_side else picture,
                photometric=photometric, channels=channels, planar=planar)
    info, read = read_back(tmp_path / "out.tif")
    assert (info.photometric, info.channels, info.resolution) == (written[0], channels,
                                                                  (72, 72, "inch"))
    np.testing.assert_array_equal(read, picture.reshape(read.shape))
    with tifffile.TiffFile(tmp_path / "out.tif") as tif:
        assert (tif.pages[0].photometric, tif.pages[0].tags["ResolutionUnit"].value) == (
            written[1], 2)


def refused(folder):
    """A file of photometric 7, which the reader refuses by a milestone alone."""
    tifffile.imwrite(folder / "refused.tif", np.zeros((4, 4), np.uint8))
    patch_tags(folder / "refused.tif", {262: 7})
    return folder / "refused.tif"


def read_closed(folder):
    with orvex.open(RGB_FILE) as file:
        page = file[0]
    return page.read()


RGB_FILE = DATA / "libtiff" / "rgb-3c-8b.tiff"
RGB = np.zeros((4, 5, 3), np.uint8)
GREY_ALPHA = np.zeros((4, 5, 2), np.uint8)


def write(folder, array, **options):
    orvex.write(folder / "out.tif", array, **options)


# What is called, what it raises, its text ({d}: the test's folder; orvex.Error's whole text),
# and whether out.tif is left.
ERRORS = [
    (lambda d: orvex.open(d / "missing.tif"), orvex.Error,
     "[TiffReader::begin] {d}/missing.tif open file failed!", False),
    (lambda d: orvex.open(""), orvex.Error, "[TiffReader::begin] fileName is empty!", False),
    (lambda d: orvex.open(refused(d))[0], orvex.Error,
     "[TiffReader::createSuitableTiffLineReader] not support photometric:7!", False),
    (lambda d: orvex.open(DATA / "pillow" / "separate_planar_extra_samples.tiff")[0].read(),
     orvex.Error, "[TiffCommonLineReader::readOriginScanline_fromSeparateStripData] "
     "TIFFReadEncodedStrip failed!", False),
    (lambda d: orvex.write(d / "no" / "out.tif", RGB), orvex.Error,
     "[TiffWriter::begin] can't open {d}/no/out.tif as a TIFF file!", False),
    (lambda d: orvex.open(RGB_FILE)[1], IndexError, "directory 1 out of range", False),
    (lambda d: orvex.open(RGB_FILE)[0].read(channel=3), IndexError, "out range!", False),
    (lambda d: orvex.open(RGB_FILE)[0].rows(channel=-1), IndexError, "channel -1 out of range",
     False),
    (read_closed, ValueError, "I/O operation on a closed file", False),
    (lambda d: orvex.open(12), TypeError, "expected str, bytes or os.PathLike object", False),
    (lambda d: write(d, GREY_ALPHA, channels=[("\udcff", "spot")]), ValueError,
     "bad conversion", True),
    (lambda d: write(d, GREY_ALPHA, channels=[("\ud800", "spot")]), ValueError,
     "surrogates not allowed", False),
    (lambda d: orvex.write(d / "a\0.tif", RGB), ValueError, "embedded null character", False),
    (lambda d: write(d, RGB.astype(bool)), TypeError, "dtype('bool') cannot be written", False),
    (lambda d: write(d, RGB.astype(np.float16)), TypeError, "dtype('float16')", False),
    (lambda d: write(d, RGB.astype(np.complex64)), TypeError, "dtype('complex64')", False),
    (lambda d: write(d, RGB.astype(">u2")), TypeError, "dtype('>u2')", False),
    (lambda d: write(d, RGB[0, 0]), ValueError, "not 1-dimensional", False),
    (lambda d: write(d, RGB[:0]), ValueError, "no dimension may be 0", False),
    (lambda d: write(d, RGB, channels=[("A", "spot")] * 3), ValueError,
     "3 extra channels need more samples per pixel than the array's 3", False),
    (lambda d: write(d, RGB, channels=[("Gloss", "gloss")]), ValueError,
     'unknown channel kind "gloss" (one of unspecified, associated_alpha, '
     'unassociated_alpha, spot)', False),
    (lambda d: write(d, RGB, photometric="cmyk"), ValueError, 'unknown photometric "cmyk"', False),
    (lambda d: write(d, GREY_ALPHA, photometric="rgb"), ValueError,
     'photometric "rgb" needs at least 3 colour samples, the array has 2', False),
    (lambda d: write(d, GREY_ALPHA), ValueError, "2 colour samples needs photometric=", False),
    (lambda d: write(d, RGB, planar="planes"), ValueError, 'planar must be "contig"', False),
    (lambda d: write(d, RGB, resolution=(300, 300, "furlong")), ValueError,
     'unknown resolution unit "furlong" (one of unknown, inch, centimeter)', False),
    (lambda d: write(d, RGB, resolution=(0, 300, "inch")), ValueError, "must be positive", False),
    (lambda d: write(d, RGB, channels=["Alpha"]), TypeError, "incompatible function arguments",
     False),
    (lambda d: write(d, RGB, compression="lzw"), TypeError, "incompatible function arguments",
     False),
]


@pytest.mark.parametrize("call, raised, text, leaves_file", ERRORS,
                         ids=[f"{row[1].__name__}:{row[2][-40:]}" for row in ERRORS])
def test_errors(tmp_path, call, raised, text, leaves_file):
    with pytest.raises(raised) as error:
        call(tmp_path)
    text = text.replace("{d}", str(tmp_path))
    assert str(error.value) == text if raised is orvex.Error else text in str(error.value)
    assert (tmp_path / "out.tif").exists() == leaves_file
