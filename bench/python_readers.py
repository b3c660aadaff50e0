#!/usr/bin/python3
"""Reading a 4096 x 4096 image into numpy with the orvex module, tifffile and PIL.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_readers.py [--repetitions N]
    PYTHONPATH=build/python /usr/bin/python3 bench/python_readers.py --memory [SIZE ...]

The first form writes the images into a temporary folder, times every reader on every image
(the readers' turns interleaved, medians of the repetitions) and prints a Markdown table. The
second writes uncompressed RGB images of SIZE x SIZE pixels and reports, for each, the peak
resident memory that reading it row by row through Page.rows() adds, in a fresh process.
"""
import argparse
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
import tifffile
from PIL import Image

import orvex

SIZE = 4096


def smooth(shape, dtype):
    """Photograph-like content: gradients in each channel, one sample in four moved a step."""
    height, width, samples = shape
    top = np.iinfo(dtype).max
    y, x = np.mgrid[0:height, 0:width]
    planes = [(x * (c + 1) + y * (samples - c)) % (top + 1) for c in range(samples)]
    picture = np.stack(planes, axis=-1).astype(dtype)
    steps = np.random.default_rng(1).integers(0, 4, shape) == 0
    picture[steps & (picture < top)] += 1
    return picture


def write_images(folder):
    """{name: (path, bytes of the decoded picture)}."""
    rgb = smooth((SIZE, SIZE, 3), np.uint8)
    rgb16 = smooth((SIZE, SIZE, 3), np.uint16)
    images = {
        "RGB 8-bit, uncompressed, strips of 16 rows": (folder / "rgb8_none.tif", rgb.nbytes),
        "grey 8-bit, uncompressed, strips of 16 rows": (folder / "grey8_none.tif", rgb.nbytes // 3),
        "RGB 8-bit, LZW, strips of 10 rows": (folder / "rgb8_lzw.tif", rgb.nbytes),
        "RGB 16-bit, separate planes, uncompressed, strips of 16 rows": (
            folder / "rgb16_planes.tif", rgb16.nbytes),
    }
    paths = [path for path, _ in images.values()]
    tifffile.imwrite(paths[0], rgb, photometric="rgb", rowsperstrip=16, metadata=None)
    tifffile.imwrite(paths[1], rgb[..., 1], photometric="minisblack", rowsperstrip=16,
                     metadata=None)
    orvex.write(paths[2], rgb)
    tifffile.imwrite(paths[3], np.moveaxis(rgb16, -1, 0), photometric="rgb",
                     planarconfig="separate", rowsperstrip=16, metadata=None)
    return images


def read_orvex(path):
    with orvex.open(path) as file:
        return file[0].read()


def read_orvex_planes(path):
    with orvex.open(path) as file:
        return file[0].read(planes=True)


def read_tifffile_interleaved(path):
    """tifffile's picture made (height, width, samples), as orvex's read() gives it."""
    picture = tifffile.imread(path)
    return np.ascontiguousarray(np.moveaxis(picture, 0, -1)) if picture.ndim == 3 and \
        picture.shape[0] < picture.shape[-1] else picture


def read_pil(path):
    with Image.open(path) as image:
        return np.asarray(image)


# Each reader gives the image in its own layout: tifffile keeps separate planes apart
# (3, height, width), orvex's read() and PIL interleave them, read(planes=True) gives planes.
READERS = {"orvex": read_orvex, "orvex planes": read_orvex_planes, "tifffile": tifffile.imread,
           "tifffile interleaved": read_tifffile_interleaved, "PIL": read_pil}
# The ratios the table gives: each pair's best times.
RATIOS = {"orvex / tifffile": ("orvex", "tifffile"),
          "orvex planes / tifffile": ("orvex planes", "tifffile"),
          "orvex / tifffile interleaved": ("orvex", "tifffile interleaved"),
          "orvex / PIL": ("orvex", "PIL")}


def time_readers(images, repetitions):
    """{(image, reader): (best wall seconds, median wall seconds) or why it cannot read it}."""
    samples = {}
    for turn in range(repetitions):
        for name, (path, size) in images.items():
            order = list(READERS.items())
            np.random.default_rng(turn).shuffle(order)
            for reader, read in order:
                start = time.perf_counter()
                try:
                    picture = read(path)
                except Exception as error:  # pylint: disable=broad-except
                    samples[name, reader] = f"cannot decode it ({str(error)[:60]})"
                    continue
                elapsed = time.perf_counter() - start
                if picture.nbytes != size:
                    samples[name, reader] = f"converts it to {picture.dtype}"
                    continue
                samples.setdefault((name, reader), []).append(elapsed)
    # The best wall time of the repetitions is the read itself: slower ones waited for the
    # other core's work or for the kernel to zero fresh pages of a new array.
    return {key: value if isinstance(value, str) else (
        min(value), statistics.median(value))
        for key, value in samples.items()}


def print_table(images, times):
    print("| image | " + " | ".join(READERS) + " | " + " | ".join(RATIOS) + " |")
    print("| --- | " + " | ".join("--:" for _ in [*READERS, *RATIOS]) + " |")
    for name in images:
        cells = []
        for reader in READERS:
            result = times[name, reader]
            cells.append(result if isinstance(result, str) else
                         f"{result[0] * 1000:.1f} ms ({result[1] * 1000:.1f} ms)")
        for ours, theirs in RATIOS.values():
            pair = times[name, ours], times[name, theirs]
            cells.append("-" if any(isinstance(t, str) for t in pair)
                         else f"{pair[0][0] / pair[1][0]:.2f}")
        print(f"| {name} | " + " | ".join(cells) + " |")


def resident_kib(field):
    with open("/proc/self/status", encoding="ascii") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise RuntimeError(field + " not found")


def probe_rows(path):
    """Run in a fresh process: the resident high-water mark is lowered to the current size,
    then every row is read; prints what the read added, in KiB."""
    with orvex.open(path) as file:
        page = file[0]
        with open("/proc/self/clear_refs", "w", encoding="ascii") as clear:
            clear.write("5")
        before = resident_kib("VmRSS")
        rows = sum(1 for _ in page.rows())
        print(rows, resident_kib("VmHWM") - before)


def measure_memory(sizes, folder):
    print("| image | raw size | rows read | peak resident growth |")
    print("| --- | --: | --: | --: |")
    for size in sizes:
        path = folder / f"rgb8_{size}.tif"
        # An uncompressed file written without its samples (zeros): the reader decodes it
        # like any other, and the disk holds only what is written.
        tifffile.imwrite(path, shape=(size, size, 3), dtype=np.uint8, photometric="rgb",
                         rowsperstrip=16, metadata=None)
        probe = subprocess.run([sys.executable, __file__, "--probe", str(path)], check=True,
                               capture_output=True, text=True, env=os.environ).stdout.split()
        path.unlink()
        print(f"| {size} x {size} RGB 8-bit | {size * size * 3 / 2**20:.0f} MiB | {probe[0]} "
              f"| {int(probe[1]) / 1024:.2f} MiB |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--memory", type=int, nargs="*")
    parser.add_argument("--probe", type=pathlib.Path, help=argparse.SUPPRESS)
    arguments = parser.parse_args()
    if arguments.probe:
        probe_rows(arguments.probe)
        return
    with tempfile.TemporaryDirectory() as folder:
        if arguments.memory is not None:
            measure_memory(arguments.memory or [4096, 16384, 65536], pathlib.Path(folder))
            return
        images = write_images(pathlib.Path(folder))
        print_table(images, time_readers(images, arguments.repetitions))
    print(f"\nmachine: {os.cpu_count()} cores, load average "
          f"{' '.join(f'{v:.1f}' for v in os.getloadavg())}; numpy {np.__version__}, "
          f"tifffile {tifffile.__version__}, PIL {Image.__version__}, orvex {orvex.__version__}")


if __name__ == "__main__":
    main()
