#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

# libtiff-tools (tiffinfo) and libimage-exiftool-perl (exiftool) let the tests read the files
# the library writes with programs nobody here wrote. The Python module needs pybind11, numpy
# and Python's headers; its tests compare with tifffile, and the Python benchmark also times PIL;
# xarray, dask and dask.distributed serve its labelled arrays and lazy stacks.
# Mono's C# compiler and runtime build and run the C# host of the C interface. Little CMS
# converts the extra channels' colours for hosts that show them, and CMYK for the tool's proof;
# the proof's tests compare it with Little CMS's own tificc (liblcms2-utils) through
# Ghostscript's CMYK profile (libgs-common).
packages=(cmake g++ make pkg-config libtiff-dev libtiff-tools libspdlog-dev libgtest-dev liblcms2-dev
          liblcms2-utils libgs-common
          nlohmann-json3-dev libcli11-dev libpng-dev libimage-exiftool-perl
          pybind11-dev python3-dev python3-numpy python3-pytest python3-tifffile python3-pil
          python3-xarray python3-dask python3-distributed
          mono-mcs mono-runtime
          ${ORVEX_EXTRA_PACKAGES:-})

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
