import numpy as np
import pytest
import tifffile

import orvex
from tiffs import DATA, expect_calls, patch_tags

ICC = bytes(range(256)) * 3  # stored byte for byte, never parsed
CHANNELS = [("Alpha", "associated_alpha"), ("PMS 200 C", "spot"), ("Glanz 😀", "unassociated_alpha")]
FORMATS = {"u": ("uint", 1), "i": ("int", 2), "f": ("float", 3)}  # name, TIFF SampleFormat
# Resolutions read back as the shortest decimal of the stored float.
ROUND_TRIP = {"resolution": (300.3, 118.11, "centimeter"), "icc_profile": ICC}
DTYPES = [f"{kind}{bits}" for kind in ("uint", "int") for bits in (8, 16, 32, 64)] + [
    "float32", "float64"]


# Every dtype with extra channels of each kind, a resolution and a profile; then colour models by
# samples or name, default resolution. Pixels side by side, or apart and right to left. The page
# replaces the file that was there.
@pytest.mark.parametrize("side_by_side", [True, False])
@pytest.mark.parametrize("planar", ["contig", "separate"])
@pytest.mark.parametrize("dtype, shape, photometric, channels, options, written", [
    *[(dtype, (9, 11, 6), "rgb", CHANNELS, ROUND_TRIP, ("rgb", 2)) for dtype in DTYPES],
    ("uint16", (5, 7), None, [], {}, ("min_is_black", 1)),
    ("uint16", (5, 7, 3), None, [], {}, ("rgb", 2)),
    ("uint16", (5, 7, 4), None, [], {}, ("separated", 5)),
    ("uint16", (5, 7, 5), "separated", [("PMS 200 C", "spot")], {}, ("separated", 5)),
    ("uint16", (5, 7, 2), "min_is_white", [("", "unspecified")], {}, ("min_is_white", 0)),
    ("uint8", (5, 7), "cfa", [], {}, ("cfa", 32803))])
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
    (tmp_path / "out.tif").write_bytes(b"replaced")
    orvex.write(tmp_path / "out.tif", picture, photometric=photometric, channels=channels,
                planar=planar, **options)
    assert [p.name for p in tmp_path.iterdir()] == ["out.tif"]  # no temporary file left
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


SPOT = ("Ink", "spot")
GREY_SPOT = np.zeros((4, 5, 2), np.uint8)


def read_back(folder, channel):
    """The channels and colours of a page written with `channel`; the colour read, written back,
    reads back as it is."""
    def written(channel):
        orvex.write(folder / "ink.tif", np.zeros((4, 5, 4), np.uint8), channels=[channel])
        with orvex.open(folder / "ink.tif") as file:
            return file[0].info.channels, file[0].info.colors
    first = written(channel)
    assert written(channel[:2] + (first[1][0],)) == first
    return first


def info_of(folder, array, **options):
    """A page written as `options` say, its description printed, its resolution and channels."""
    orvex.write(folder / "info.tif", array, **options)
    with orvex.open(folder / "info.tif") as file:
        return file[0].info, file[0].info.resolution, file[0].info.channels


def test_no_colour(tmp_path):
    tifffile.imwrite(tmp_path / "alpha.tif", RGB[..., :2].repeat(2, 2), photometric="rgb",
                     extrasamples=[2])
    with orvex.open(tmp_path / "alpha.tif") as file:
        assert file[0].info.colors == [None]


# What each call in tests/data/transcripts/python/writing.txt gives or raises.
def test_calls(tmp_path):
    expect_calls("python/writing.txt", tmp_path, globals())
