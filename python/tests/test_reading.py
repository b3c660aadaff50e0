import logging
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest
import tifffile

import orvex
from tiffs import DATA, delivered, expect_calls, upright, write_stored

# Every directory of the files from other programs, but those tifffile cannot decode without its
# codec package; separate_planar_extra_samples.tiff is among the errors (an empty plane).
PAGES = [(path, key) for path in sorted(DATA.glob("[lp]*/*.tif*"))
         if path.name != "separate_planar_extra_samples.tiff"
         for key in range(len(tifffile.TiffFile(path).pages))]

# tifffile's photometric and resolution-unit numbers by the module's names for them.
PHOTOMETRICS = {0: "min_is_white", 1: "min_is_black", 2: "rgb", 3: "rgb", 5: "separated",
                8: "cie_lab"}


def resolution_of(page):
    """Without resolution tags the reader assumes 72 per inch; TIFF's default unit is inch."""
    if 282 not in page.tags:
        return 72, 72, "inch"
    unit = {1: "unknown", 2: "inch", 3: "centimeter"}[page.tags.valueof(296, 2)]
    return (*map(pytest.approx, page.get_resolution()), unit)


def check_page(page, expected):
    np.testing.assert_array_equal(page.read(), expected, strict=True)  # dtype and shape too
    np.testing.assert_array_equal(page.read(planes=True), np.moveaxis(expected, 2, 0),
                                  strict=True)
    np.testing.assert_array_equal(np.stack(list(page.rows())), expected)
    for c in range(expected.shape[2]):
        np.testing.assert_array_equal(page.read(channel=c), expected[..., c])
        np.testing.assert_array_equal(np.stack(list(page.rows(channel=c))), expected[..., c])


@pytest.mark.parametrize("path, key", PAGES, ids=[f"{p.name}-{k}" for p, k in PAGES])
def test_reads_what_tifffile_decodes(path, key):
    try:
        expected = delivered(path, key)
    except (ValueError, NotImplementedError) as reason:
        pytest.skip(f"tifffile cannot decode it here: {reason}")
    with orvex.open(path) as file, tifffile.TiffFile(path) as tif:
        info = file[key - len(file)].info  # counted from the end
        page = tif.pages[key]
        assert (info.height, info.width, info.samples_per_pixel) == expected.shape
        assert (info.photometric, info.resolution, info.icc_profile) == (
            PHOTOMETRICS[page.photometric], resolution_of(page), page.tags.valueof(34675, b""))
        check_page(file[key], expected)


@pytest.mark.parametrize("orientation", range(1, 9))
@pytest.mark.parametrize("bits, samples, planar", [
    (1, 1, "contig"), (2, 2, "separate"), (4, 1, "contig"), (8, 3, "contig"),
    (16, 2, "separate")])
def test_delivers_the_upright_picture(tmp_path, orientation, bits, samples, planar):
    dtype = np.uint16 if bits == 16 else np.uint8
    stored = np.random.default_rng(bits).integers(0, 2**bits, (7, 13, samples), dtype=dtype)
    write_stored(tmp_path / "o.tif", stored, bits, orientation, planar)
    with orvex.open(tmp_path / "o.tif") as file:
        check_page(file[0], upright(stored, orientation))


def test_threads_read_at_once():
    pages = [(DATA / "libtiff" / name, 0) for name in
             ("rgb-3c-16b.tiff", "minisblack-2c-8b-alpha.tiff", "palette-1c-8b.tiff")]
    pages += [(DATA / "pillow" / "multipage.tiff", key) for key in range(3)]
    expected = [delivered(path, key) for path, key in pages]

    def failures(turn):  # pages of their own files, and of one file that all threads share
        for i in np.random.default_rng(turn).permutation(len(pages) * 4) % len(pages):
            path, key = pages[i]
            with orvex.open(path) as own:
                for file in (own, shared) if path.name == "multipage.tiff" else (own,):
                    if not np.array_equal(file[key].read(), expected[i]):
                        yield turn, path.name, key

    with orvex.open(DATA / "pillow" / "multipage.tiff") as shared, ThreadPoolExecutor(4) as pool:
        assert [f for found in pool.map(lambda turn: list(failures(turn)), range(4))
                for f in found] == []


@pytest.mark.parametrize("threshold, logged", [
    (logging.DEBUG, {logging.DEBUG, logging.INFO, logging.WARNING, logging.ERROR}),
    (logging.WARNING, {logging.WARNING, logging.ERROR}),
    (logging.CRITICAL, set())])
def test_records_reach_the_orvex_logger(caplog, tmp_path, threshold, logged):
    caplog.set_level(threshold, logger="orvex")
    path = DATA / "libtiff" / "minisblack-1c-8b.tiff"
    with orvex.open(path) as file:
        file[0].read()
    with pytest.raises(orvex.Error):
        orvex.open(tmp_path / "missing.tif")
    records = {(r.levelno, r.getMessage()) for r in caplog.records if r.name == "orvex"}
    expected = {
        (logging.DEBUG, "[TIFFTAG_IMAGEWIDTH]: --------------- 157"),
        (logging.INFO, f"[TiffReader::begin] begin! ({path}) open success! NumberOfDirectory is 1"),
        (logging.WARNING, "[TIFFTAG_XRESOLUTION] no xresolution tag : assume 72.0f"),
        (logging.ERROR, f"[TiffReader::begin] {tmp_path}/missing.tif open file failed!")}
    assert {r for r in expected if r[0] in logged} <= records
    assert {r[0] for r in records} == logged


# What each call in tests/data/transcripts/python/reading.txt gives or raises.
def test_calls(tmp_path):
    expect_calls("python/reading.txt", tmp_path, globals())


PUBLIC = [(name, getattr(orvex, name)) for name in dir(orvex) if not name.startswith("_")]
MEMBERS = [(f"{name}.{member}", value) for name, kind in PUBLIC if isinstance(kind, type)
           for member, value in vars(kind).items()
           if not member.startswith("_") or member in ("__len__", "__getitem__", "__next__")]


# Every public name says what it is in words of its own, and signatures name Python types only.
@pytest.mark.parametrize("name, value", PUBLIC + MEMBERS, ids=[n for n, _ in PUBLIC + MEMBERS])
def test_documented(name, value):
    text = value.__doc__ or ""
    own = text.split("\n\n", 1)[-1] if text.startswith(name.split(".")[-1] + "(") else text
    assert own.strip() and "::" not in text
