"""Test images and what the reader must deliver for them, worked out with tifffile and numpy."""
import os
import pathlib
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
