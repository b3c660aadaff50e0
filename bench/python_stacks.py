#!/usr/bin/python3
"""Stacks of pages through orvex.to_dask on a two-process dask.distributed cluster.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_stacks.py [--repetitions N]
        [--folder FOLDER]

Writes its files into FOLDER (default a temporary folder, removed afterwards; a kept folder is
reused by later runs) and prints two Markdown tables:

- `to_dask(paths).sum()` over 1,000 files of one LZW page of 512 x 512 16-bit samples, and over
  100 of 2048 x 2048, computed on a LocalCluster of two worker processes of one thread each,
  against the same graph computed in this one process by dask's synchronous scheduler and by
  its threads; beside each, `dask.array.ones` of the same chunks, which reads nothing: what
  the schedulers themselves cost, and a `multiprocessing` pool of two processes reading and
  summing the files against a loop: what two processes gain on the machine at all;
- 300 pages spread over a file of 1,000 and over one of 30,000 small pages, `to_dask(path,
  pages=...)` computed on a fresh cluster; per page, the first run (every worker opens the
  file) and the median of the later ones. Beside them, the same pages as one dask.delayed task
  each that opens the file, as a user would wire it by hand.

Times are wall-clock medians of the repetitions; graphs are built inside the timed span.
"""
import argparse
import multiprocessing
import os
import pathlib
import statistics
import tempfile
import time

import dask
import dask.array
import distributed
import numpy as np
import tifffile

import orvex

STACKS = ((1000, 512), (100, 2048))  # files, and the side of their one page
PAGES_READ = 300
SMALL = (16, 16)  # the pages of the many-page files, 8-bit grey
PAGE_COUNTS = (1000, 30000)


def smooth_page(seed, side):
    """Photograph-like 16-bit content: gradients with 4 bits of noise in the low byte."""
    y, x = np.mgrid[0:side, 0:side]
    noise = np.random.default_rng(seed).integers(0, 16, (side, side))
    return ((x * 97 + y * 61 + seed * 13) * 16 % 65536 + noise).astype(np.uint16)


def lzw_files(folder, count, side):
    paths = [folder / f"lzw-{side}" / f"{k:04}.tif" for k in range(count)]
    if not paths[-1].exists():
        paths[0].parent.mkdir(exist_ok=True)
        for k, path in enumerate(paths):
            orvex.write(path, smooth_page(k, side))
    return paths


def cluster():
    """A cluster of two worker processes of one thread each, and its client."""
    return distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                    host="127.0.0.1", dashboard_address=None)


def many_pages(folder, count):
    path = folder / f"pages-{count}.tif"
    if not path.exists():
        page = np.arange(SMALL[0] * SMALL[1], dtype=np.uint8).reshape(SMALL)
        with tifffile.TiffWriter(path) as tif:
            for _ in range(count):
                tif.write(page, photometric="minisblack", metadata=None)
    return path


def timed(work, repetitions):
    """[wall seconds of each run]."""
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return times


def read_opening(path, page):
    with orvex.open(path) as file:
        return file[page].read()


def by_hand(client, path, pages):
    """One delayed task per page, each opening the file."""
    return dask.compute(*[dask.delayed(read_opening)(path, page) for page in pages],
                        scheduler=client)


def sum_row(client, label, stack, repetitions):
    """Times stack().sum() on the cluster, in this process alone and on its threads."""
    expected = stack().sum().compute(scheduler="sync")
    runs = {}
    for _ in range(repetitions):  # the sides take turns
        for side, scheduler in (("cluster", client), ("sync", "sync"), ("threads", "threads")):
            start = time.perf_counter()
            total = stack().sum().compute(scheduler=scheduler)
            runs.setdefault(side, []).append(time.perf_counter() - start)
            assert total == expected
    median = {side: statistics.median(times) for side, times in runs.items()}
    speedup = median["sync"] / median["cluster"]
    print(f"| {label} | {median['cluster']:.2f} s | {median['sync']:.2f} s | "
          f"{median['threads']:.2f} s | {speedup:.2f} x | >= 1.6 x | "
          f"{'met' if speedup >= 1.6 else 'MISSED'} |")


def read_and_sum(path):
    with orvex.open(path) as file:
        return int(file[0].read().sum())


def pool_row(paths, repetitions):
    """The machine's own parallelism, without dask: the same files read and summed by a pool
    of two processes against a loop in this one."""
    runs = {}
    with multiprocessing.get_context("spawn").Pool(2) as pool:
        pool.map(read_and_sum, paths[:2])  # started, orvex imported
        for _ in range(repetitions):
            for side, work in (("pool", lambda: pool.map(read_and_sum, paths, chunksize=1)),
                               ("loop", lambda: [read_and_sum(path) for path in paths])):
                runs.setdefault(side, []).extend(timed(work, 1))
    pool_time, loop_time = (statistics.median(runs[side]) for side in ("pool", "loop"))
    print(f"| `multiprocessing` pool of 2 processes against a loop, no dask | {pool_time:.2f} s |"
          f" {loop_time:.2f} s | | {loop_time / pool_time:.2f} x | | |")


def sum_table(folder, repetitions):
    print("| stack, `.sum()` | cluster of 2 processes | one process, sync | one process, 2 threads"
          " | sync / cluster | target | verdict |")
    print("| --- | --: | --: | --: | --: | --- | --- |")
    with cluster() as workers, distributed.Client(workers) as client:
        for count, side in STACKS:
            paths = lzw_files(folder, count, side)
            sum_row(client, f"`to_dask`, {count} LZW files of {side} x {side} 16-bit", lambda:
                    orvex.to_dask(paths), repetitions)
            sum_row(client, "`dask.array.ones`, the same chunks, nothing read", lambda:
                    dask.array.ones((count, side, side, 1), np.uint16, chunks=(1, -1, -1, -1)),
                    repetitions)
            pool_row(paths, repetitions)


def pages_table(folder, repetitions):
    print(f"| {PAGES_READ} pages of a file of | first run, per page | later runs, per page"
          " | by hand, each task opening the file, per page |")
    print("| --- | --: | --: | --: |")
    per_page = {}
    for count in PAGE_COUNTS:
        path = many_pages(folder, count)
        pages = range(0, count, count // PAGES_READ)[:PAGES_READ]
        with cluster() as workers, distributed.Client(workers) as client:  # no file open yet
            first, *later = timed(
                lambda: orvex.to_dask(path, pages=pages).compute(scheduler=client),
                repetitions + 1)
        with cluster() as workers, distributed.Client(workers) as client:
            hand = timed(lambda: by_hand(client, path, pages), 1)[0]
        per_page[count] = (first / PAGES_READ, statistics.median(later) / PAGES_READ)
        print(f"| {count} pages of {SMALL[1]} x {SMALL[0]} 8-bit | {per_page[count][0] * 1e3:.2f}"
              f" ms | {per_page[count][1] * 1e3:.2f} ms | {hand / PAGES_READ * 1e3:.2f} ms |")
    for run, name in enumerate(("first run", "later runs")):
        ratio = per_page[PAGE_COUNTS[1]][run] / per_page[PAGE_COUNTS[0]][run]
        print(f"\nper page, {PAGE_COUNTS[1]} against {PAGE_COUNTS[0]} pages, {name}: "
              f"{ratio:.2f} x (target <= 1.3 x: {'met' if ratio <= 1.3 else 'MISSED'})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--folder", type=pathlib.Path)
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory() as temporary, dask.config.set(num_workers=2):
        folder = arguments.folder or pathlib.Path(temporary)
        folder.mkdir(parents=True, exist_ok=True)
        sum_table(folder, arguments.repetitions)
        print()
        pages_table(folder, arguments.repetitions)
    print(f"\nmachine: {os.cpu_count()} cores, load average "
          f"{' '.join(f'{v:.1f}' for v in os.getloadavg())}; numpy {np.__version__}, dask "
          f"{dask.__version__}, distributed {distributed.__version__}, orvex {orvex.__version__}")


if __name__ == "__main__":
    main()
