"""Stacks of pages as lazy dask arrays whose graphs hold paths and page numbers only, so that
they pickle to any scheduler: threads, processes or a distributed cluster."""
import collections
import os
import threading

from . import _arguments
from ._orvex import File

# Files a thread keeps open for the tasks it runs: opening a file walks its whole chain of
# pages, selecting one page of an open file does not.
FILES_KEPT = 4

_PATHS = "a path or a sequence of paths"
_PAGES_OF_FILE = "a sequence or slice of page indices, or None for every page"


class _OpenFiles(threading.local):
    """The files this thread opened last, most recent last, each known by its path and what
    the file system says of it: a file written again at the same path is opened again. A
    process started by fork has copies of its parent's handles, whose file positions the
    parent moves: it starts afresh."""

    def __init__(self):
        super().__init__()
        self.process = os.getpid()
        self.files = collections.OrderedDict()

    def get(self, path):
        if self.process != os.getpid():
            self.__init__()
        key = (path, *_identity(path))
        file = self.files.pop(key, None)
        if file is None:
            file = File(path)
        self.files[key] = file
        if len(self.files) > FILES_KEPT:
            self.files.popitem(last=False)  # closed when no page of it is in use
        return file


def _identity(path):
    """(inode, modification time, size) of the file at `path`; () when it cannot be seen,
    which leaves the library to say why."""
    try:
        status = os.stat(path)
    except OSError:
        return ()
    return status.st_ino, status.st_mtime_ns, status.st_size


_open_files = _OpenFiles()


def _read_band(source):
    """The band `source` names, (path, page, (start, stop), expected), as a (1, rows, width,
    samples) array; ValueError when the page is not of the stack's shape and dtype
    `expected`."""
    path, page, rows, expected = source
    selected = _open_files.get(path)[page]
    info = selected.info
    found = (info.height, info.width, info.samples_per_pixel, str(info.dtype))
    if found != expected:
        raise ValueError(f"page {page} of {os.fsdecode(path)} is {_shown(found)}, not "
                         f"{_shown(expected)} as the stack's first page")
    return selected.read(rows=slice(*rows))[None]


def _shown(description):
    height, width, samples, dtype = description
    return f"{width} x {height} x {samples} {dtype}"


def _sources(paths_or_path, pages):
    """[(absolute path, page), ...], the pages of the stack in order."""
    if _arguments.is_path(paths_or_path):
        path = os.path.abspath(os.fspath(paths_or_path))
        count = len(_open_files.get(path))
        return [(path, page) for page in _pages_of_file(pages, count)]
    if not isinstance(paths_or_path, (list, tuple)) or not paths_or_path:
        _arguments.refuse("paths_or_path", _PATHS, paths_or_path)
    for i, path in enumerate(paths_or_path):
        if not _arguments.is_path(path):
            _arguments.refuse(f"paths_or_path[{i}]", "a path", path)
    page = 0 if pages is None else _arguments.index(
        "pages", pages, "a page index for a sequence of paths")
    return [(os.path.abspath(os.fspath(path)), page) for path in paths_or_path]


def _pages_of_file(pages, count):
    if pages is None:
        return range(count)
    if isinstance(pages, slice):
        return range(count)[pages]
    if isinstance(pages, (str, bytes)) or not hasattr(pages, "__iter__"):
        _arguments.refuse("pages", _PAGES_OF_FILE, pages)
    chosen = []
    for i, page in enumerate(pages):
        index = _arguments.index(f"pages[{i}]", page, "a page index")
        if not -count <= index < count:
            raise IndexError(f"pages[{i}] takes a page index of {count} pages, not {index}")
        chosen.append(index % count)
    return chosen


def _band_rows(info, chunk_bytes):
    """Rows of a chunk: the whole page when it fits in `chunk_bytes`, else as many whole
    blocks of rows as fit, one block at least."""
    row_bytes = info.width * info.samples_per_pixel * info.dtype.itemsize
    if info.height * row_bytes <= chunk_bytes:
        return info.height
    block = max(info.rows_per_block, 1)
    return max(chunk_bytes // row_bytes // block, 1) * block


def _chunk_bytes(chunk_bytes):
    import dask
    from dask.utils import parse_bytes
    if chunk_bytes is None:
        return parse_bytes(dask.config.get("array.chunk-size"))
    size = _arguments.index("chunk_bytes", chunk_bytes, "a number of bytes")
    if size < 1:
        _arguments.refuse("chunk_bytes", "a number of bytes", chunk_bytes, ValueError)
    return size


def to_dask(paths_or_path, pages=None, *, chunk_bytes=None):
    """A lazy stack of pages, shape (pages, height, width, samples), each page as Page.read()
    gives it: the pages of one file (`pages` a sequence or slice of page indices, None for
    all), or one page of each file of a sequence of paths (`pages` its index, None for 0).

    Each page is one chunk; a page larger than `chunk_bytes` (default dask's
    "array.chunk-size") is cut into bands of whole blocks of rows. The shape and dtype come
    from the first page, which is opened here; a page that differs fails when computed, with
    ValueError. The graph holds paths and indices only, so it runs on any dask scheduler;
    every thread that reads keeps the last few files it opened. Imports dask.

    Returns:
        dask.array.Array: the stack, computed page by page or band by band.
    """
    import dask.array
    from dask.base import tokenize
    from dask.blockwise import BlockwiseDepDict, blockwise
    from dask.highlevelgraph import HighLevelGraph

    size = _chunk_bytes(chunk_bytes)
    sources = _sources(paths_or_path, pages)
    if not sources:
        _arguments.refuse("pages", "at least one page index", pages, ValueError)
    path, page = sources[0]
    info = _open_files.get(path)[page].info
    expected = (info.height, info.width, info.samples_per_pixel, str(info.dtype))
    band = _band_rows(info, size)
    starts = range(0, info.height, band)
    bands = {(k, j, 0, 0): (path, page, (start, min(start + band, info.height)), expected)
             for k, (path, page) in enumerate(sources) for j, start in enumerate(starts)}
    # A blockwise layer, so that dask fuses each read with what is done to its chunk.
    name = "orvex-stack-" + tokenize(sources, expected, band)
    axes = (0, 1, 2, 3)
    layer = blockwise(_read_band, name, axes,
                      BlockwiseDepDict(bands, numblocks=(len(sources), len(starts), 1, 1)),
                      axes, numblocks={})
    chunks = ((1,) * len(sources), tuple(min(band, info.height - s) for s in starts),
              (info.width,), (info.samples_per_pixel,))
    return dask.array.Array(HighLevelGraph.from_collections(name, layer), name, chunks,
                            dtype=info.dtype)
