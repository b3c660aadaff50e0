"""Test images and what the reader must deliver for them, worked out with tifffile and numpy."""
import errno
import os
import pathlib
import re
import struct

import numpy as np
import tifffile

DATA = pathlib.Path(os.environ.get("ORVEX_TEST_DATA_DIR",
                                   pathlib.Path(__file__).parents[2] / "tests" / "data"))


def upright(stored, orientation):
    """The picture of stored rows by the TIFF Orientation tag: 5 to 8 store its columns."""
    flips = {2: (1,), 3: (0, 1), 4: (0,), 6: (1,), 7: (0, 1), 8: (0,)}.get(orientation, ())
    picture = stored.swapaxes(0, 1) if orientation >= 5 else stored
    return np.ascontiguousarray(np.flip(picture, flips) if flips else picture)


def delivered(path, key):
    """The (height, width, samples) picture the reader documents for a page tifffile decodes:
    palettes as RGB (8 bits when every colour-map value fits), bilevel as 0 and 1, upright."""
    stored = tifffile.imread(path, key=key)
    stored = stored.astype(np.uint8) if stored.dtype == bool else stored
    with tifffile.TiffFile(path) as tif:
        page = tif.pages[key]
        if page.samplesperpixel == 1:
            stored = stored[..., np.newaxis]
        elif page.planarconfig == 2:
            stored = np.moveaxis(stored, 0, -1)
        if page.photometric == 3:
            colours = page.colormap if page.colormap.max() > 255 else page.colormap.astype(np.uint8)
            stored = colours[:, stored[..., 0]].transpose(1, 2, 0)
        return upright(stored, page.tags.valueof(274, 1))


def patch_tags(path, values):
    """Gives the tags of the first directory new values, each value repeated, {code: value}."""
    with tifffile.TiffFile(path) as tif:
        tags = [tif.pages[0].tags[code] for code in values]
        order = tif.byteorder
    with open(path, "r+b") as file:
        for tag in tags:
            file.seek(tag.valueoffset)
            kind = {3: "H", 4: "I"}[int(tag.dtype)] * tag.count
            file.write(struct.pack(order + kind, *[values[tag.code]] * tag.count))


def write_stored(path, stored, bits, orientation, planar):
    """Writes a (height, width, samples) picture as stored rows with an Orientation tag, samples
    of 1, 2 or 4 bits packed most significant first, each row padded to whole bytes."""
    planes = np.moveaxis(stored, -1, 0) if planar == "separate" else stored
    planes = planes[..., 0] if planes.shape[-1] == 1 else planes
    if bits < 8:
        sample_bits = np.unpackbits(planes[..., np.newaxis], axis=-1)[..., 8 - bits:]
        planes = np.packbits(sample_bits.reshape(planes.shape[:-1] + (-1,)), axis=-1)
    rgb = stored.shape[2] == 3 and planar == "contig"
    tifffile.imwrite(path, planes, metadata=None, planarconfig=planar, photometric="rgb" if rgb
                     else "minisblack", extratags=[(274, "H", 1, orientation, True)])
    patch_tags(path, {256: stored.shape[1], 258: bits})


def expect_calls(name, folder, names):
    """Runs each `>>> call` of tests/data/transcripts/`name` with the names of `names` and `d`, a
    folder of its own holding out.tif, and expects the file to show below each call what it gave
    (`= ` and its repr, when not None) or raised: the type (an orvex type with its bases), the
    errno and the first line of the text. The folder shows as DIR, the files of tests/data as
    DATA. A call leaves out.tif as it was and nothing beside it, or the file shows what it left.
    ORVEX_UPDATE_TRANSCRIPTS=1 rewrites the file."""
    path = DATA / "transcripts" / name
    expected = path.read_text(encoding="utf-8")
    lines = []
    for n, line in enumerate(expected.splitlines()):
        if line.startswith(">>> "):
            here = folder / str(n)
            here.mkdir()
            (here / "out.tif").write_bytes(b"kept")
            lines += [line, *outcome(line[4:], here, {**names, "d": here})]
        elif line.startswith("#") or not line:
            lines.append(line)
    actual = "\n".join(lines) + "\n"
    if os.environ.get("ORVEX_UPDATE_TRANSCRIPTS"):
        path.write_text(actual, encoding="utf-8")
    assert actual == expected


def outcome(call, folder, names):
    try:
        result = eval(call, names)  # pylint: disable=eval-used
        said = "" if result is None else f"= {result!r}"
    except Exception as error:  # pylint: disable=broad-except
        kind = type(error).__name__
        if type(error).__module__ == "orvex":
            kind += f"({', '.join(base.__name__ for base in type(error).__bases__)})"
        if getattr(error, "errno", None):
            kind += f" [{errno.errorcode[error.errno]}]"
        text = (str(error).splitlines() or [""])[0]  # pybind11 lists the arguments after it
        said = f"{kind}: {re.sub(r'[.][0-9a-f]{12}[.]orvex-tmp', '.TMP', text)}"
    said = said.replace(str(folder), "DIR").replace(str(DATA), "DATA").splitlines()
    left = sorted((p.name, p.read_bytes()) for p in folder.rglob("out.tif*"))
    return said + ([] if left == [("out.tif", b"kept")] else [f"+ left {left}"])
