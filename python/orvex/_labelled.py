"""Pages as xarray.DataArray, their channels labelled with the names the file gives them."""
from . import _arguments
from ._orvex import open as _open

DIMS = ("y", "x", "channel")


def attributes(info):
    """The attrs of a page's DataArray: resolution (x, y), unit, photometric, icc_profile."""
    x, y, unit = info.resolution
    return {"resolution": (x, y), "unit": unit, "photometric": info.photometric,
            "icc_profile": info.icc_profile}


def labelled(picture, info):
    """`picture`, (height, width, samples), as a DataArray labelled from `info`."""
    import xarray
    names, kinds = zip(*info.samples)
    return xarray.DataArray(picture, dims=DIMS,
                            coords={"channel": list(names), "kind": ("channel", list(kinds))},
                            attrs=attributes(info))


def to_xarray(page):
    """The upright picture as an xarray.DataArray with dims ("y", "x", "channel"): the channel
    coordinate holds the names, colour samples named as orvex split names them ("C", "M", "Y",
    "K", "R", "G", "B", "Grey") and extra channels by their own; the coordinate "kind" on
    channel says "colour" or the extra channel's kind ("spot", "unassociated_alpha"...).
    attrs hold the resolution (x, y), its unit, the photometric word and the ICC profile
    (b"" for none). Imports xarray.

    Returns:
        xarray.DataArray: the samples of Page.read(), labelled.
    """
    return labelled(page.read(), page.info)


def open_dataarray(path, page=0):
    """Page `page` of the TIFF file at `path`, read whole as Page.to_xarray gives it; the file
    is closed on return.

    Returns:
        xarray.DataArray: dims ("y", "x", "channel"), channels by name and kind.
    """
    index = _arguments.index("page", page, "a page index")
    with _open(path) as file:
        return to_xarray(file[index])
