import re

import numpy as np
import pytest
import tifffile

import orvex
from tiffs import DATA, patch_tags

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


# Call, the types raised, text ({d}: the folder). A failure of the library is an orvex.Error
# whose text is the library's reason exactly (reasons the C interface's transcripts pin are
# left to them, and a word of each vocabulary is parsed by the round trips); the file where it was to be keeps its bytes, and
# nothing is left beside it.
LIBRARY = (orvex.Error,)
ERRORS = [
    (lambda d: orvex.open(d / "missing.tif"), (FileNotFoundError, *LIBRARY),
     "[TiffReader::begin] {d}/missing.tif open file failed! (libtiff: TIFFOpen: {d}/missing.tif: "
     "No such file or directory): No such file or directory"),
    (lambda d: orvex.open(refused(d))[0], (ValueError, *LIBRARY),
     "[TiffReader::createSuitableTiffLineReader] not support photometric:7!"),
    (lambda d: orvex.open(DATA / "pillow" / "separate_planar_extra_samples.tiff")[0].read(),
     LIBRARY, "[TiffCommonLineReader::readOriginScanline_fromSeparateStripData] "
     "TIFFReadEncodedStrip failed! (libtiff: TIFFFillStrip: Invalid strip byte count 0, strip 1)"),
    (lambda d: orvex.write(d / "no" / "out.tif", RGB), (FileNotFoundError, *LIBRARY),
     "[TiffWriter::begin] can't open {d}/no/out.tif.TMP as a TIFF file! (libtiff: TIFFOpen: "
     "{d}/no/out.tif.TMP: No such file or directory): No such file or directory"),
    (lambda d: orvex.write(bytes(d) + b"/\xff.tif", RGB), (ValueError, *LIBRARY),
     "[WriteRequest::check] path is not well-formed UTF-8!"),
    (lambda d: orvex.open(RGB_FILE)[0].read(channel=3), (IndexError, *LIBRARY),
     "[orvex_reader::read] channel(3) >= samples(3)!"),
    (lambda d: write(d, channels=[("A", "spot")] * 3, photometric="rgb"), (ValueError, *LIBRARY),
     "[WriteRequest::check] extra_samples(3) leaves no colour sample of 3!"),
    (lambda d: write(d, channels=[("Gloss", "gloss")]), (ValueError, *LIBRARY),
     '[Vocabulary] "gloss" names no value of vocabulary 3!'),
    (lambda d: write(d, resolution=(-1, 300, "inch")), (ValueError, *LIBRARY),
     "[WriteRequest::check] resolution -1 x 300 is not finite and at least 0!"),
    (lambda d: write(d, resolution=(1e300, 72, "inch")), (ValueError, *LIBRARY),
     "[WriteRequest::check] resolution inf x 72 is not finite and at least 0!"),
    (lambda d: write(d, photometric="separated"), (ValueError, *LIBRARY),
     "[WriteRequest::check] photometric(4) needs 4 colour samples, more than samples(3) - "
     "extra(0)!"),
    (lambda d: orvex.open(RGB_FILE)[1], (IndexError,), "directory 1 out of range"),
    (lambda d: orvex.open(RGB_FILE)[0].rows(channel=-1), (IndexError,), "channel -1 out of range"),
    (lambda d: orvex.open(RGB_FILE)[0].read(channel="A"), (TypeError,),
     "channel takes a sample index or None, not 'A'"),
    (lambda d: orvex.open(RGB_FILE)[0].rows(channel=1.0), (TypeError,),
     "channel takes a sample index or None, not 1.0"),
    (lambda d: closed_page().read(), (ValueError,), "I/O operation on a closed file"),
    (lambda d: orvex.open(RGB_FILE)[0].read(channel=0, planes=True), (ValueError,),
     "read: give either channel or planes=True, not both"),
    (lambda d: orvex.open(12), (TypeError,), "expected str, bytes or os.PathLike object"),
    (lambda d: orvex.write(d / "a\0.tif", RGB), (ValueError,), "embedded null character"),
    (lambda d: write(d, RGB.astype(bool)), (TypeError,), "dtype('bool') cannot be written"),
    (lambda d: write(d, RGB.astype(np.float16)), (TypeError,), "dtype('float16')"),
    (lambda d: write(d, RGB.astype(np.complex64)), (TypeError,), "dtype('complex64')"),
    (lambda d: write(d, RGB.astype(">u2")), (TypeError,), "dtype('>u2')"),
    (lambda d: write(d, RGB[0, 0]), (ValueError,), "not 1-dimensional"),
    (lambda d: write(d, RGB[:0]), (ValueError,), "no dimension may be 0"),
    (lambda d: write(d, GREY_ALPHA), (ValueError,), "2 colour samples needs photometric="),
    (lambda d: write(d, compression="lzw"), (TypeError,), "incompatible function arguments"),
]
SPOT = ("Ink", "spot")
GREY_SPOT = np.zeros((4, 5, 2), np.uint8)
# Arguments of another type or form: the module names the argument and what it takes.
ARGUMENTS = [
    ({"resolution": (300, 300)}, TypeError,
     'resolution takes (x, y, unit), such as (300, 300, "inch"), not (300, 300)'),
    ({"resolution": (300, "300", "inch")}, TypeError,
     'resolution takes (x, y, unit), such as (300, 300, "inch"), not \'300\''),
    ({"channels": "Alpha"}, TypeError,
     "channels takes a list of (name, kind) or (name, kind, colour), not 'Alpha'"),
    ({"channels": ["Alpha"]}, TypeError,
     "channels[0] takes (name, kind) or (name, kind, colour), not 'Alpha'"),
    ({"channels": [(b"Alpha", "spot")]}, TypeError,
     "channels[0] takes (name, kind) or (name, kind, colour), not b'Alpha'"),
    ({"channels": [SPOT + ({"space": "lab"},)]}, TypeError,
     'channels[0][2] takes a colour {"space": word, "components": (c0, c1, c2, c3), "opacity": '
     "0 to 100}, not {'space': 'lab'}"),
    ({"channels": [SPOT + ({"space": 7, "components": (0,) * 4},)]}, TypeError,
     'channels[0][2]["space"] takes a word such as "lab", not 7'),
    ({"channels": [SPOT + ({"space": "lab", "components": (0, 0, 0)},)]}, TypeError,
     'channels[0][2]["components"] takes 4 integers from -32768 to 65535, not (0, 0, 0)'),
    ({"channels": [SPOT + ({"space": "lab", "components": (0, 0, 0, 1 << 16)},)]}, ValueError,
     'channels[0][2]["components"] takes 4 integers from -32768 to 65535, not 65536'),
    ({"channels": [SPOT + ({"space": "lab", "components": (0,) * 4, "opacity": 101},)]},
     ValueError, 'channels[0][2]["opacity"] takes 0 to 100, not 101'),
    ({"photometric": 2}, TypeError, 'photometric takes a word such as "rgb", or None, not 2'),
    ({"planar": 2}, TypeError, 'planar takes "contig" or "separate", not 2'),
    ({"icc_profile": "sRGB"}, TypeError, "icc_profile takes bytes, not 'sRGB'"),
    ({"array": [[1], [1, 2]]}, TypeError,
     "array takes a numpy array or what numpy.asarray takes, not [[1], [1, 2]]"),
]


@pytest.mark.parametrize("call, raised, text", ERRORS,
                         ids=[f"{row[1][0].__name__}:{row[2][-40:]}" for row in ERRORS])
def test_errors(tmp_path, call, raised, text):
    (tmp_path / "out.tif").write_bytes(b"kept")
    with pytest.raises(raised[0]) as error:
        call(tmp_path)
    assert all(isinstance(error.value, kind) for kind in raised)
    said = re.sub(r"\.[0-9a-f]{12}\.orvex-tmp", ".TMP", str(error.value))
    text = text.replace("{d}", str(tmp_path))
    assert said == text if orvex.Error in raised else text in said
    left = [(p.name, p.read_bytes()) for p in tmp_path.rglob("out.tif*")]
    assert left == [("out.tif", b"kept")]



def colour(space, components, opacity, srgb, lab):
    return {"space": space, "components": components, "opacity": opacity, "srgb": srgb, "lab": lab}


RED = colour("rgb", (65535, 0, 0, 0), 100, (255, 0, 0), (54.289635, 80.81436, 69.88975))
GREY = (7.56979e-06, 7.56979e-06)  # a* and b* of a neutral grey through D50
# The colour given with a channel, and as it is read back, converted to sRGB and L*a*b*; a
# channel without one gets the writer's: 50 % L* 128 for spot colours, clear red otherwise.
# A colour read is written back as it is, the writer's own L* 128 too.
COLOURS = [
    (("lab", (5000, 0, 0, 0), 100), colour("lab", (5000, 0, 0, 0), 100, (119, 119, 119),
                                           (50.0, *GREY))),
    (("cmyk", (65535, 0, 65535, 65535), 50), colour("cmyk", (65535, 0, 65535, 65535), 50,
                                                    (216, 12, 123), (48.000305, 74.0, -2.9999998))),
    (("grey", (10000, 0, 0, 0), 0), colour("grey", (10000, 0, 0, 0), 0, (0, 0, 0), (0.0, *GREY))),
    (("hsb", (0, 65535, 65535, 0), 100), colour("hsb", (0, 65535, 65535, 0), 100, RED["srgb"], RED["lab"])),
    (("rgb", (65535, 0, 0, 0), None), RED),
    (None, colour("lab", (12800, 0, 0, 0), 50, (255, 255, 255), (128.0, *GREY))),
]


@pytest.mark.parametrize("given, read", COLOURS)
def test_channel_colours(tmp_path, given, read):
    fields = dict(zip(("space", "components", "opacity"), given or ()))
    channel = ("Ink", "spot", {k: v for k, v in fields.items() if v is not None})
    for written in [channel if given else channel[:2], ("Ink", "spot", read)]:
        write(tmp_path, np.zeros((4, 5, 4), np.uint8), channels=[written])
        with orvex.open(tmp_path / "out.tif") as file:
            assert (file[0].info.channels, file[0].info.colors) == ([channel[:2]], [read])


def test_no_colour(tmp_path):
    tifffile.imwrite(tmp_path / "alpha.tif", RGB[..., :2].repeat(2, 2), photometric="rgb",
                     extrasamples=[2])
    with orvex.open(tmp_path / "alpha.tif") as file:
        assert file[0].info.colors == [None]


@pytest.mark.parametrize("options, raised, text", ARGUMENTS, ids=[r[2][:30] for r in ARGUMENTS])
def test_arguments(tmp_path, options, raised, text):
    options = {"array": GREY_SPOT, "channels": [SPOT], **options}
    with pytest.raises(raised) as error:
        orvex.write(tmp_path / "out.tif", options.pop("array"), **options)
    assert str(error.value) == text
