import logging
import threading

import numpy as np
import pytest
import tifffile

import orvex
from tiffs import DATA, UPRIGHT, delivered, write_stored

# Every directory of the files from other programs; those tifffile cannot decode here (LZW,
# JPEG, CCITT, SGILOG, 2 and 4 bits without its codec package) are skipped. libtiff cannot
# decode the empty second plane of separate_planar_extra_samples.tiff: it is among the errors.
PAGES = [(path, key) for path in sorted(DATA.glob("[lp]*/*.tif*"))
         if path.name != "separate_planar_extra_samples.tiff"
         for key in range(len(tifffile.TiffFile(path).pages))]

# tifffile's photometric and resolution-unit numbers by the module's names for what the
# reader delivers.
PHOTOMETRICS = {0: "min_is_white", 1: "min_is_black", 2: "rgb", 3: "rgb", 5: "separated",
                8: "cie_lab"}
UNITS = {1: "unknown", 2: "inch", 3: "centimeter"}


def tifffile_resolution(page):
    """Without resolution tags the reader assumes 72 per inch; TIFF's default unit is inch."""
    if 282 not in page.tags:
        return 72, 72, "inch"
    (x, x_unit), (y, y_unit) = page.tags[282].value, page.tags[283].value
    return pytest.approx(x / x_unit), pytest.approx(y / y_unit), UNITS[page.tags.valueof(296, 2)]


def tifffile_picture(path, key):
    try:
        return delivered(path, key)
    except (ValueError, NotImplementedError) as reason:
        pytest.skip(f"tifffile cannot decode it here: {reason}")


def check_page(page, expected):
    picture = page.read()
    assert (picture.dtype, picture.shape) == (expected.dtype, expected.shape)
    np.testing.assert_array_equal(picture, expected)
    np.testing.assert_array_equal(np.stack(list(page.rows())), expected)
    for c in range(expected.shape[2]):
        np.testing.assert_array_equal(page.read(channel=c), expected[..., c])
        np.testing.assert_array_equal(np.stack(list(page.rows(channel=c))), expected[..., c])


@pytest.mark.parametrize("path, key", PAGES, ids=[f"{p.name}-{k}" for p, k in PAGES])
def test_reads_what_tifffile_decodes(path, key):
    expected = tifffile_picture(path, key)
    with orvex.open(path) as file, tifffile.TiffFile(path) as tif:
        info = file[key - len(file)].info  # counted from the end
        page = tif.pages[key]
        icc = page.tags.get(34675)
        assert (info.height, info.width, info.samples_per_pixel) == expected.shape
        assert (info.photometric, info.resolution, info.icc_profile) == (
            PHOTOMETRICS[page.photometric], tifffile_resolution(page), icc.value if icc else b"")
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
        check_page(file[0], np.ascontiguousarray(UPRIGHT[orientation](stored)))


def test_threads_read_at_once():
    pages = [(DATA / "libtiff" / name, 0) for name in
             ("rgb-3c-16b.tiff", "minisblack-2c-8b-alpha.tiff", "palette-1c-8b.tiff")]
    pages += [(DATA / "pillow" / "multipage.tiff", key) for key in range(3)]
    expected = [delivered(path, key) for path, key in pages]
    shared = orvex.open(DATA / "pillow" / "multipage.tiff")
    failures = []

    def read_all(turn):
        for i in np.random.default_rng(turn).permutation(len(pages) * 4) % len(pages):
            path, key = pages[i]
            with orvex.open(path) as own:
                for file in (own, shared) if path.name == "multipage.tiff" else (own,):
                    if not np.array_equal(file[key].read(), expected[i]):
                        failures.append((turn, path.name, key))

    threads = [threading.Thread(target=read_all, args=(turn,)) for turn in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    shared.close()
    assert failures == []


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
        (logging.INFO, f"[TiffReader::end] >>>>>>>>>>>>>>>>>>>>>>>>>>>>>> end fileName:{path}!"),
        (logging.WARNING, "[TIFFTAG_XRESOLUTION] no xresolution tag : assume 72.0f"),
        (logging.ERROR, f"[TiffReader::begin] {tmp_path}/missing.tif open file failed!")}
    assert {r for r in expected if r[0] in logged} <= records
    assert {r[0] for r in records} == logged
