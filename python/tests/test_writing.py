import numpy as np
import pytest
import tifffile

import orvex
from tiffs import DATA, patch_tags

ICC = bytes(range(256)) * 3  # stored byte for byte, never parsed
CHANNELS = [("Alpha", "associated_alpha"), ("PMS 200 C", "spot"), ("Glanz 😀", "unassociated_alpha")]
FORMATS = {"u": ("uint", 1), "i": ("int", 2), "f": ("float", 3)}  # name, TIFF SampleFormat
ROUND_TRIP = {"resolution": (300, 118.5, "centimeter"), "icc_profile": ICC}
DTYPES = [f"{kind}{bits}" for kind in ("uint", "int") for bits in (8, 16, 32, 64)] + [
    "float32", "float64"]


# Every dtype with extra channels of each kind, a resolution and a profile; then colour models by
# samples or name, default resolution. Pixels side by side, or apart and right to left.
@pytest.mark.parametrize("side_by_side", [True, False])
@pytest.mark.parametrize("planar", ["contig", "separate"])
@pytest.mark.parametrize("dtype, shape, photometric, channels, options, written", [
    *[(dtype, (9, 11, 6), "rgb", CHANNELS, ROUND_TRIP, ("rgb", 2)) for dtype in DTYPES],
    ("uint16", (5, 7), None, [], {}, ("min_is_black", 1)),
    ("uint16", (5, 7, 3), None, [], {}, ("rgb", 2)),
    ("uint16", (5, 7, 4), None, [], {}, ("separated", 5)),
    ("uint16", (5, 7, 5), "separated", [("PMS 200 C", "spot")], {}, ("separated", 5)),
    ("uint16", (5, 7, 2), "min_is_white", [("", "unspecified")], {}, ("min_is_white", 0))])
def test_round_trip(tmp_path, side_by_side, planar, dtype, shape, photometric, channels, options,
                    written):
    kind = np.dtype(dtype).kind
    limits = np.finfo(dtype) if kind == "f" else np.iinfo(dtype)
    rng = np.random.default_rng(7)
    wide = (shape[0], 2 * shape[1]) + shape[2:]
    wide = (rng.standard_normal(wide) * 1000).astype(dtype) if kind == "f" else \
        rng.integers(limits.min, limits.max, wide, dtype, endpoint=True)
    wide.flat[:2] = limits.min, limits.max
    picture = np.ascontiguousarray(wide[:, :shape[1]]) if side_by_side else wide[:, ::-2]
    orvex.write(tmp_path / "out.tif", picture, photometric=photometric, channels=channels,
                planar=planar, **options)
    with orvex.open(tmp_path / "out.tif") as file:
        info, read = file[0].info, file[0].read()
    resolution = options.get("resolution", (72, 72, "inch"))
    assert (info.photometric, info.sample_format, info.bits_per_sample, info.channels,
            info.resolution, info.icc_profile) == (
        written[0], FORMATS[kind][0], limits.bits, channels, resolution,
        options.get("icc_profile", b""))
    np.testing.assert_array_equal(read, picture.reshape(read.shape))
    with tifffile.TiffFile(tmp_path / "out.tif") as tif:
        page = tif.pages[0]
        assert (page.photometric, page.sampleformat, page.planarconfig, page.extrasamples,
                page.tags["ResolutionUnit"].value) == (
            written[1], FORMATS[kind][1], 1 + (planar == "separate"),
            tuple({"associated_alpha": 1, "unassociated_alpha": 2}.get(k, 0) for _, k in channels),
            2 + (resolution[2] == "centimeter"))


def refused(folder):
    """A file of photometric 7, which the reader refuses by a milestone alone."""
    tifffile.imwrite(folder / "refused.tif", np.zeros((4, 4), np.uint8))
    patch_tags(folder / "refused.tif", {262: 7})
    return folder / "refused.tif"


def closed_page():
    with orvex.open(RGB_FILE) as file:
        return file[0]


RGB_FILE = DATA / "libtiff" / "rgb-3c-8b.tiff"
RGB = np.zeros((4, 5, 3), np.uint8)
GREY_ALPHA = np.zeros((4, 5, 2), np.uint8)


def write(folder, array=RGB, **options):
    orvex.write(folder / "out.tif", array, **options)


# Call, exception, text ({d}: the folder; orvex.Error's whole text). Only the name the writer
# cannot convert is refused after out.tif was created.
ERRORS = [
    (lambda d: orvex.open(d / "missing.tif"), orvex.Error,
     "[TiffReader::begin] {d}/missing.tif open file failed!"),
    (lambda d: orvex.open(""), orvex.Error, "[TiffReader::begin] fileName is empty!"),
    (lambda d: orvex.open(refused(d))[0], orvex.Error,
     "[TiffReader::createSuitableTiffLineReader] not support photometric:7!"),
    (lambda d: orvex.open(DATA / "pillow" / "separate_planar_extra_samples.tiff")[0].read(),
     orvex.Error, "[TiffCommonLineReader::readOriginScanline_fromSeparateStripData] "
     "TIFFReadEncodedStrip failed!"),
    (lambda d: orvex.write(d / "no" / "out.tif", RGB), orvex.Error,
     "[TiffWriter::begin] can't open {d}/no/out.tif as a TIFF file!"),
    (lambda d: orvex.open(RGB_FILE)[1], IndexError, "directory 1 out of range"),
    (lambda d: orvex.open(RGB_FILE)[0].read(channel=3), IndexError, "out range!"),
    (lambda d: orvex.open(RGB_FILE)[0].rows(channel=-1), IndexError, "channel -1 out of range"),
    (lambda d: closed_page().read(), ValueError, "I/O operation on a closed file"),
    (lambda d: orvex.open(12), TypeError, "expected str, bytes or os.PathLike object"),
    (lambda d: write(d, GREY_ALPHA, channels=[("\udcff", "spot")]), ValueError, "bad conversion"),
    (lambda d: write(d, GREY_ALPHA, channels=[("\ud800", "spot")]), ValueError,
     "surrogates not allowed"),
    (lambda d: orvex.write(d / "a\0.tif", RGB), ValueError, "embedded null character"),
    (lambda d: write(d, RGB.astype(bool)), TypeError, "dtype('bool') cannot be written"),
    (lambda d: write(d, RGB.astype(np.float16)), TypeError, "dtype('float16')"),
    (lambda d: write(d, RGB.astype(np.complex64)), TypeError, "dtype('complex64')"),
    (lambda d: write(d, RGB.astype(">u2")), TypeError, "dtype('>u2')"),
    (lambda d: write(d, RGB[0, 0]), ValueError, "not 1-dimensional"),
    (lambda d: write(d, RGB[:0]), ValueError, "no dimension may be 0"),
    (lambda d: write(d, channels=[("A", "spot")] * 3), ValueError,
     "3 extra channels need more samples per pixel than the array's 3"),
    (lambda d: write(d, channels=[("Gloss", "gloss")]), ValueError,
     'unknown channel kind "gloss" (one of unspecified, associated_alpha, '
     'unassociated_alpha, spot)'),
    (lambda d: write(d, photometric="cmyk"), ValueError, 'unknown photometric "cmyk"'),
    (lambda d: write(d, GREY_ALPHA, photometric="rgb"), ValueError,
     'photometric "rgb" needs at least 3 colour samples, the array has 2'),
    (lambda d: write(d, GREY_ALPHA), ValueError, "2 colour samples needs photometric="),
    (lambda d: write(d, planar="planes"), ValueError, 'planar must be "contig"'),
    (lambda d: write(d, resolution=(300, 300, "furlong")), ValueError,
     'unknown resolution unit "furlong" (one of unknown, inch, centimeter)'),
    (lambda d: write(d, resolution=(0, 300, "inch")), ValueError, "must be positive"),
    (lambda d: write(d, channels=["Alpha"]), TypeError, "incompatible function arguments"),
    (lambda d: write(d, compression="lzw"), TypeError, "incompatible function arguments"),
]


@pytest.mark.parametrize("call, raised, text", ERRORS,
                         ids=[f"{row[1].__name__}:{row[2][-40:]}" for row in ERRORS])
def test_errors(tmp_path, call, raised, text):
    with pytest.raises(raised) as error:
        call(tmp_path)
    text = text.replace("{d}", str(tmp_path))
    assert str(error.value) == text if raised is orvex.Error else text in str(error.value)
    assert (tmp_path / "out.tif").exists() == (text == "bad conversion")
