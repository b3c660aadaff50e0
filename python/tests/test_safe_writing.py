"""What the file system refuses, as Python's own exceptions, and writes that never harm a file."""
import errno
import os
import pathlib
import subprocess
import sys

import numpy as np
import pytest
import tifffile

import orvex

RGB = np.arange(60, dtype=np.uint8).reshape(4, 5, 3)


def denied_folder(folder):
    """A folder the process may not write in: one without write permission or, for root, who
    writes there anyway, Linux's /sys; skips where there is none."""
    folder.mkdir()
    folder.chmod(0o500)
    for candidate in (folder, pathlib.Path("/sys")):
        try:
            (candidate / "probe").touch()
            (candidate / "probe").unlink()
        except PermissionError:
            return candidate
        except OSError:
            pass
    pytest.skip("this process may write in every folder it can name")


# A file that is missing is FileNotFoundError with ENOENT, in tests/data/transcripts/python.
def test_a_folder_without_write_permission_is_eacces(tmp_path):
    with pytest.raises(PermissionError) as error:
        orvex.write(denied_folder(tmp_path / "ro") / "out.tif", RGB)
    assert isinstance(error.value, orvex.Error)
    assert error.value.errno == errno.EACCES
    assert os.strerror(errno.EACCES) in str(error.value)


# Run apart: a file-size limit makes the disk full for this process alone.
FULL_DISK = """
import resource, signal, sys
import numpy as np, orvex
signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
resource.setrlimit(resource.RLIMIT_FSIZE, (65536, 65536))
noise = np.random.default_rng(1).integers(0, 256, (256, 512, 4), np.uint8)
try:
    orvex.write(sys.argv[1], noise)
except OSError as error:
    print(type(error).__name__, isinstance(error, orvex.Error), error.errno, error, sep="|")
"""


def test_a_full_disk_is_enospc_and_leaves_the_target(tmp_path):
    orvex.write(tmp_path / "keep.tif", RGB)
    before = (tmp_path / "keep.tif").read_bytes()
    done = subprocess.run([sys.executable, "-c", FULL_DISK, str(tmp_path / "keep.tif")],
                          capture_output=True, text=True, check=True)
    kind, library, number, reason = done.stdout.strip().split("|")
    assert (kind, library, int(number)) == ("NoSpaceError", "True", errno.ENOSPC)
    assert reason.startswith("[TiffWriter::writeScanline] TIFFWriteScanline failed! (libtiff: ")
    assert reason.endswith("): File too large")
    assert (tmp_path / "keep.tif").read_bytes() == before
    assert [p.name for p in tmp_path.iterdir()] == ["keep.tif"]


# A lone high surrogate, a pair, a lone low one: names read are written back as the same bytes.
NAMES = [("Gold\udcff", "spot"), ("\ud800 \U0001F600 \udc00", "unassociated_alpha")]


def test_lone_surrogates_round_trip_byte_for_byte(tmp_path):
    orvex.write(tmp_path / "first.tif", np.zeros((2, 3, 6), np.uint8), photometric="separated",
                channels=NAMES)
    with orvex.open(tmp_path / "first.tif") as file:
        assert file[0].info.channels == NAMES
        orvex.write(tmp_path / "again.tif", file[0].read(), photometric="separated",
                    channels=file[0].info.channels)
    blocks = [tifffile.TiffFile(tmp_path / name).pages[0].tags[34377].value
              for name in ("first.tif", "again.tif")]
    assert blocks[0] == blocks[1]
    assert "Gold\udcff".encode("utf-16-be", "surrogatepass") in blocks[0]
