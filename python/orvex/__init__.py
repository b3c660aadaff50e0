"""Reads and writes TIFF images with the names and kinds of their extra channels (alpha and spot
colours). The library's log records go to the logger "orvex".

``open`` and ``write`` read and write numpy arrays; ``Page.to_xarray`` and ``open_dataarray``
give arrays labelled with the channels' names, ``to_dask`` lazy stacks of pages for any dask
scheduler. xarray and dask are imported only by the calls that need them.
"""
from . import _labelled
from ._orvex import *  # noqa: F401,F403 (the extension's names are the package's)
from ._orvex import Page, __version__  # noqa: F401
from ._labelled import open_dataarray  # noqa: F401
from ._stacks import to_dask  # noqa: F401

Page.to_xarray = _labelled.to_xarray
