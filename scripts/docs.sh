#!/usr/bin/env bash
# Builds the documentation site into ./build/docs/site (or $ORVEX_DOCS_DIR): the HTML in html/,
# then Sphinx's doctest builder, which runs every Python example of the site. Both fail on the
# first warning, so a quoted file or transcript session that is missing fails the run.
# Installs Doxygen, Sphinx and breathe when missing, and builds in ./build (or $ORVEX_BUILD_DIR)
# what the site is made from: the library, the Python module and Doxygen's XML. Extra
# arguments go to CMake's configure step.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORVEX_BUILD_DIR:-$root/build}"
site="${ORVEX_DOCS_DIR:-$build/docs/site}"
ORVEX_EXTRA_PACKAGES="doxygen python3-sphinx python3-breathe ${ORVEX_EXTRA_PACKAGES:-}" \
  "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DORVEX_BUILD_DOCS=ON "$@" >/dev/null
# The Python module is part of the normal build when its packages are there; without it the
# Python reference is a note and the doctests fail, which this script reports.
targets=(orvex_docs)
# grep reads the whole list: stopping early would break make's pipe and fail the pipeline.
if cmake --build "$build" --target help | grep '\borvex_python\b' >/dev/null; then
  targets+=(orvex_python)
fi
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"
export ORVEX_BUILD_DIR="$build"
# Sphinx reads the sources fresh each time: a page that quotes a file is rebuilt when it changes.
rm -rf "$site"
sphinx-build -W --keep-going -q -b html -d "$site/doctrees" "$root/docs" "$site/html"
sphinx-build -W --keep-going -q -b doctest -d "$site/doctrees" "$root/docs" "$site/doctest"
echo "$site/html/index.html"
