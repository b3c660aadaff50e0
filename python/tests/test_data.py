"""Pages as labelled xarray arrays and lazy dask stacks, and pages that pickle."""
import faulthandler
import os
import pickle

import numpy as np
import pytest
import tifffile

import orvex
from tiffs import DATA, expect_calls, write_stored

ICC = bytes(range(128))
RNG = np.random.default_rng(29)
CLUSTER_SECONDS = 120


def picture(shape, dtype=np.uint16):
    return RNG.integers(0, np.iinfo(dtype).max, shape, dtype, endpoint=True)


def labelled(folder, shape, **options):
    """The dimensions, channel names and kinds and attributes of a page written with `options`, as
    to_xarray and open_dataarray both label it, each holding the samples the page reads as."""
    orvex.write(folder / "page.tif", picture(shape), **options)
    with orvex.open(folder / "page.tif") as file:
        read, arrays = file[0].read(), [file[0].to_xarray()]
    arrays.append(orvex.open_dataarray(folder / "page.tif", page=-1))
    for array in arrays:
        np.testing.assert_array_equal(array.values, read, strict=True)
    shown = [(a.dims, a.channel.values.tolist(), a.kind.values.tolist(), a.attrs) for a in arrays]
    assert shown[0] == shown[1]
    return shown[0]


def many_pages(path, count, shape=(30, 7, 2)):
    """A file of `count` pages of 16-bit samples in strips of 4 rows, and its pictures."""
    pictures = [picture(shape) for _ in range(count)]
    with tifffile.TiffWriter(path) as tif:
        for page in pictures:
            tif.write(page, photometric="minisblack", planarconfig="contig", rowsperstrip=4,
                      metadata=None)
    return pictures


def files(folder, count):
    """`count` files of a CMYK page with a spot channel, and their pictures."""
    pictures = [picture((30, 7, 5)) for _ in range(count)]
    for k, page in enumerate(pictures):
        orvex.write(folder / f"{k:02}.tif", page, channels=[("Gold", "spot")])
    return pictures


# The stack, its chunks along the rows, and the pages it holds; bands of whole strips when
# a page is larger than chunk_bytes (rows of 28 bytes; strips of 4 and of 10 rows).
STACKS = [
    (lambda d: (d / "pages.tif", {"pages": [5, -1, 0]}), (30,), [5, 11, 0]),
    (lambda d: (d / "pages.tif", {"pages": slice(None, None, 4), "chunk_bytes": 30 * 28}),
     (30,), [0, 4, 8]),
    (lambda d: (d / "pages.tif", {"pages": range(2), "chunk_bytes": 30 * 28 - 1}),
     (28, 2), [0, 1]),
    (lambda d: (d / "pages.tif", {"chunk_bytes": 1}), (4,) * 7 + (2,), list(range(12))),
    (lambda d: (sorted(d.glob("0*.tif")), {}), (30,), [12, 13, 14, 15, 16]),
    (lambda d: (sorted(d.glob("0*.tif")), {"chunk_bytes": 30 * 70 - 1}), (20, 10),
     [12, 13, 14, 15, 16]),
]


@pytest.fixture(scope="module")
def stacked(tmp_path_factory):
    folder = tmp_path_factory.mktemp("stacks")
    return folder, many_pages(folder / "pages.tif", 12) + files(folder, 5)


@pytest.mark.parametrize("source, rows, pages", STACKS)
def test_to_dask_on_threads(stacked, source, rows, pages):
    pytest.importorskip("dask.array")
    folder, pictures = stacked
    paths, options = source(folder)
    stack = orvex.to_dask(paths, **options)
    assert stack.chunks[1:] == (rows, (7,), (pictures[pages[0]].shape[2],))
    np.testing.assert_array_equal(stack.compute(scheduler="threads"),
                                  np.stack([pictures[k] for k in pages]), strict=True)


def test_threads_open_a_file_once_each(stacked, monkeypatch):
    pytest.importorskip("dask.array")
    import dask
    opened = []

    def counted(path):
        opened.append(path)
        return orvex.File(path)

    monkeypatch.setattr(orvex._stacks, "File", counted)
    monkeypatch.setattr(orvex._stacks, "_open_files", orvex._stacks._OpenFiles())
    with dask.config.set(num_workers=2):
        orvex.to_dask(stacked[0] / "pages.tif", chunk_bytes=100).sum().compute(scheduler="threads")
    assert 2 <= len(opened) <= 3  # the caller's and each thread's


def test_a_file_written_again_is_read_again(tmp_path):
    pytest.importorskip("dask.array")
    for value in (1, 2):
        orvex.write(tmp_path / "again.tif", np.full((4, 5), value, np.uint8))
        assert orvex.to_dask(tmp_path / "again.tif").max().compute(scheduler="sync") == value


def test_to_dask_on_a_cluster_of_processes(stacked):
    distributed = pytest.importorskip("distributed")
    folder, pictures = stacked
    pages = orvex.to_dask(folder / "pages.tif", pages=range(3, 12), chunk_bytes=300)
    files = orvex.to_dask(sorted(folder.glob("0*.tif")))
    faulthandler.dump_traceback_later(CLUSTER_SECONDS, exit=True)  # a hung cluster ends the run
    try:
        with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                      host="127.0.0.1", dashboard_address=None) as cluster, \
                distributed.Client(cluster, timeout=CLUSTER_SECONDS) as client:
            found = [future.result(timeout=CLUSTER_SECONDS) for future in
                     client.compute([pages, files.sum(axis=(1, 2))])]
            workers = client.run(os.getpid)
    finally:
        faulthandler.cancel_dump_traceback_later()
    assert len(set(workers.values()) - {os.getpid()}) == 2
    np.testing.assert_array_equal(found[0], np.stack(pictures[3:12]), strict=True)
    np.testing.assert_array_equal(found[1], np.stack(pictures[12:]).sum(axis=(1, 2)))


def test_rows(tmp_path):
    stored = picture((9, 6, 2), np.uint8)
    write_stored(tmp_path / "columns.tif", stored, 8, 6, "contig")
    for path in (DATA / "libtiff" / "rgb-3c-16b.tiff", tmp_path / "columns.tif"):
        with orvex.open(path) as file:
            whole = file[0].read()
            for rows in (slice(2, 5), slice(-3, None), slice(5, 1000), slice(4, 4)):
                np.testing.assert_array_equal(file[0].read(rows=rows), whole[rows], strict=True)
            np.testing.assert_array_equal(file[0].read(rows=slice(1, 3), channel=1),
                                          whole[1:3, :, 1], strict=True)


@pytest.mark.parametrize("path", [DATA / "libtiff" / "rgb-3c-16b.tiff",
                                  os.fsencode(DATA / "pillow" / "multipage.tiff")])
def test_pickle_round_trips(path):
    with orvex.open(path) as file:
        page = file[-1]
        again = pickle.loads(pickle.dumps((file, page, page.info)))
        assert [repr(again[0]), again[1].info, again[2]] == [repr(file), page.info, page.info]
        np.testing.assert_array_equal(again[1].read(), page.read(), strict=True)
    assert again[0][len(file) - 1].info.samples == page.info.samples


def info_of_another_build():
    with orvex.open(DATA / "libtiff" / "rgb-3c-8b.tiff") as file:
        description, profile, channels = file[0].info.__getstate__()
    orvex.PageInfo.__new__(orvex.PageInfo).__setstate__((description + b"\0", profile, channels))


def moved_file(folder):
    orvex.write(folder / "moved.tif", picture((4, 5)))
    with orvex.open(folder / "moved.tif") as file:
        state = pickle.dumps(file[0])
    os.remove(folder / "moved.tif")
    pickle.loads(state)


def different_pages(folder):
    many_pages(folder / "small.tif", 1, (4, 5, 2))
    many_pages(folder / "large.tif", 1, (4, 6, 2))
    orvex.to_dask([folder / "small.tif", folder / "large.tif"]).compute(scheduler="sync")


RGB = DATA / "libtiff" / "rgb-3c-8b.tiff"
PAGES = DATA / "pillow" / "multipage.tiff"


# What each call in tests/data/transcripts/python/data.txt gives or raises.
def test_calls(tmp_path):
    pytest.importorskip("dask.array")
    pytest.importorskip("xarray")
    expect_calls("python/data.txt", tmp_path, globals())
