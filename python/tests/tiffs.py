"""Test images and what the reader must deliver for them, worked out with tifffile and numpy."""
import os
import pathlib
import struct

import numpy as np
import tifffile

DATA = pathlib.Path(os.environ.get("ORVEX_TEST_DATA_DIR",
                                   pathlib.Path(__file__).parents[2] / "tests" / "data"))

# The upright picture of a stored one, by the TIFF Orientation tag: 5 to 8 store the picture's
# columns as rows.
UPRIGHT = {
    1: lambda a: a,
    2: lambda a: a[:, ::-1],
    3: lambda a: a[::-1, ::-1],
    4: lambda a: a[::-1],
    5: lambda a: a.swapaxes(0, 1),
    6: lambda a: a.swapaxes(0, 1)[:, ::-1],
    7: lambda a: a.swapaxes(0, 1)[::-1, ::-1],
    8: lambda a: a.swapaxes(0, 1)[::-1],
}


def delivered(path, key):
    """The (height, width, samples) picture the reader documents for a page tifffile decodes:
    separate planes interleaved, palettes expanded to RGB (8 bits when every colour-map value
    fits), bilevel as 0 and 1, orientation applied."""
    stored = tifffile.imread(path, key=key)
    stored = stored.astype(np.uint8) if stored.dtype == bool else stored
    with tifffile.TiffFile(path) as tif:
        page = tif.pages[key]
        orientation = page.tags.get(274).value if 274 in page.tags else 1
        if page.samplesperpixel == 1:
            stored = stored[..., np.newaxis]
        elif page.planarconfig == 2:
            stored = np.moveaxis(stored, 0, -1)
        if page.photometric == 3:
            colours = page.colormap if page.colormap.max() > 255 else page.colormap.astype(np.uint8)
            stored = colours[:, stored[..., 0]].transpose(1, 2, 0)
    return np.ascontiguousarray(UPRIGHT[orientation](stored))


def patch_tags(path, values):
    """Overwrites tags whose values lie within their directory entries, {code: value}."""
    with tifffile.TiffFile(path) as tif:
        tags = [tif.pages[0].tags[code] for code in values]
        order = tif.byteorder
    with open(path, "r+b") as file:
        for tag in tags:
            file.seek(tag.valueoffset)
            kind = {3: "H", 4: "I"}[int(tag.dtype)]
            file.write(struct.pack(order + kind * tag.count, *[values[tag.code]] * tag.count))


def write_stored(path, stored, bits, orientation, planar):
    """Writes a (height, width, samples) picture uncompressed, as stored rows, with the given
    Orientation tag; samples of 1, 2 or 4 bits packed most significant first, in one plane per
    sample."""
    height, width, samples = stored.shape
    if samples == 1:
        planes = stored[..., 0]
    else:
        planes = np.moveaxis(stored, -1, 0) if planar == "separate" else stored
    if bits < 8:
        per_byte = 8 // bits
        padded = np.zeros(planes.shape[:-1] + (-(-width // per_byte) * per_byte,), np.uint8)
        padded[..., :width] = planes
        groups = padded.reshape(padded.shape[:-1] + (-1, per_byte)).astype(np.uint8)
        shifts = np.arange(per_byte - 1, -1, -1, dtype=np.uint8) * bits
        planes = np.bitwise_or.reduce(groups << shifts, axis=-1).astype(np.uint8)
    photometric = "rgb" if samples == 3 and planar == "contig" else "minisblack"
    tifffile.imwrite(path, planes, photometric=photometric, metadata=None,
                     planarconfig=planar if samples > 1 else None,
                     extratags=[(274, "H", 1, orientation, True)])
    if bits < 8:
        patch_tags(path, {256: width, 258: bits})
