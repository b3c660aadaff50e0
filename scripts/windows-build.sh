#!/usr/bin/env bash
# Cross-builds Orvex for Windows x86-64 with MinGW-w64 (orvex.dll, libmerrow_logger.dll,
# orvex.exe and every test program) and runs the whole test suite under Wine.
#
# On Debian 12 as root it first installs what is missing: the project's own packages, the
# MinGW-w64 compilers and Wine. libtiff, with zlib and libjpeg for its Deflate and JPEG
# codecs, and libpng for the orvex tool are built from Debian's source packages (apt-get
# source; a deb-src entry is added when there is none), GoogleTest from the sources Debian
# ships in /usr/src/googletest. The header-only spdlog, fmt, CLI11 and nlohmann-json come
# from Debian's -dev packages (see cmake/mingw/).
# Those builds are kept in $ORVEX_MINGW_CACHE (default /var/cache/orvex-mingw) under a key
# made of their source versions and the compiler's, so later runs only build Orvex itself.
# The build goes to ./build-win (or $ORVEX_WIN_BUILD_DIR), the Wine prefix inside it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORVEX_WIN_BUILD_DIR:-$root/build-win}"
cache="${ORVEX_MINGW_CACHE:-/var/cache/orvex-mingw}"
jobs="${ORVEX_JOBS:-$(nproc)}"
toolchain="$root/cmake/toolchain-mingw64.cmake"
host=x86_64-w64-mingw32
source_packages=(zlib libjpeg-turbo libpng1.6 tiff)
# Bump when the way the dependencies are built changes, so cached builds are not reused.
recipe=1
start=$SECONDS

stage() {
  echo "== windows: $1 ($((SECONDS - start)) s)"
}

# Wine's recommended packages bring a desktop's worth of fonts and media libraries that a
# headless test run does not need, hence --no-install-recommends.
install_packages() {
  ORVEX_EXTRA_PACKAGES="libfmt-dev googletest dpkg-dev" "$root/scripts/install-deps.sh"
  local missing=()
  for package in g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${missing[*]}" >&2
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

apt_source_files() {
  ls /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
    2>/dev/null || true
}

# Source entries mirror the Debian archive's binary entries: same URIs, suites and components.
add_deb_src_entries() {
  local list=/etc/apt/sources.list.d/orvex-deb-src.list
  local sources=/etc/apt/sources.list.d/orvex-deb-src.sources
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    sed -n 's/^[[:space:]]*deb\([[:space:]].*debian.*\)$/deb-src\1/p' >"$list" || true
  cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '
    BEGIN { RS = ""; FS = "\n" }
    $0 ~ /(^|\n)Types:[^\n]*deb([ \t]|\n|$)/ && $0 ~ /(^|\n)URIs:[^\n]*debian/ &&
        $0 !~ /(^|\n)Enabled:[ \t]*no/ {
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^#/) continue
        print ($i ~ /^Types:/ ? "Types: deb-src" : $i)
      }
      print ""
    }' >"$sources"
  [ -s "$list" ] || rm -f "$list"
  [ -s "$sources" ] || rm -f "$sources"
  if [ ! -e "$list" ] && [ ! -e "$sources" ]; then
    echo "No Debian archive entry found in /etc/apt to derive a deb-src entry from" >&2
    exit 1
  fi
}

ensure_source_index() {
  # shellcheck disable=SC2046
  if ! grep -Eqs '^[[:space:]]*deb-src[[:space:]]|^Types:.*deb-src' $(apt_source_files); then
    [ "$(id -u)" -eq 0 ] || { echo "No deb-src entry in /etc/apt; run as root" >&2; exit 1; }
    add_deb_src_entries
    apt-get update -qq
  elif [ -z "$(apt-cache showsrc --only-source tiff 2>/dev/null)" ]; then
    apt-get update -qq
  fi
}

# Prints the versions read from stdin newest first, in Debian's ordering.
newest_first() {
  local versions best version remaining
  mapfile -t versions < <(sort -u)
  while [ ${#versions[@]} -gt 0 ]; do
    best="${versions[0]}"
    for version in "${versions[@]}"; do
      if dpkg --compare-versions "$version" gt "$best"; then best="$version"; fi
    done
    echo "$best"
    remaining=()
    for version in "${versions[@]}"; do
      if [ "$version" != "$best" ]; then remaining+=("$version"); fi
    done
    versions=("${remaining[@]}")
  done
}

offered_versions() {
  apt-cache showsrc --only-source "$1" | sed -n 's/^Version: //p' | newest_first
}

# Every offered version is part of the key: a newer one in the archive means a rebuild.
dependency_key() {
  for package in "${source_packages[@]}"; do
    echo "$package $(offered_versions "$package" | tr "\n" " ")"
  done
  echo "googletest $(dpkg-query -W -f='${Version}' googletest)"
  echo "compiler $("$host-g++-posix" -dumpfullversion) posix"
  echo "recipe $recipe"
}

# Downloads and unpacks the newest version of a source package that the archive serves
# (a mirror may list a security update whose sources it does not hold) and prints it.
fetch_source() {
  local version
  for version in $(offered_versions "$1"); do
    if apt-get source --only-source -qq "$1=$version" >>apt-source.log 2>&1; then
      echo "$version"
      return
    fi
  done
  cat apt-source.log >&2
  echo "Could not fetch the source package $1" >&2
  return 1
}

# zlib's configure script, given the MinGW host, builds the static libz.a that libtiff links.
build_zlib() {
  (
    cd "$1"
    CHOST="$host" CC="$host-gcc-posix" ./configure --static --prefix="$prefix" >/dev/null
    make -j"$jobs" libz.a >/dev/null
    make install >/dev/null
  )
}

cmake_install() {
  local source="$1" binary="$2"
  shift 2
  cmake -S "$source" -B "$binary" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DORVEX_MINGW_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$binary" -j"$jobs" >/dev/null
  cmake --install "$binary" >/dev/null
}

# No SIMD: it needs nasm, and the tests decode only a few small JPEG images.
build_libjpeg_turbo() {
  cmake_install "$1" "$1/build" -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
}

build_libpng1_6() {
  cmake_install "$1" "$1/build" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF \
    -DPNG_TESTS=OFF
}

# Codecs that would need further libraries (JBIG, LERC, LZMA, ZSTD, WebP, libdeflate) are off:
# no image the tests read uses them.
build_tiff() {
  cmake_install "$1" "$1/build" -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF \
    -Dtiff-docs=OFF -Dcxx=OFF -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Dpixarlog=ON -Djpeg12=OFF \
    -Dlibdeflate=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF
}

build_googletest() {
  cmake_install /usr/src/googletest "$1/googletest-build"
}

# Runs under the cache's lock: what an earlier, interrupted or outdated build left goes first.
build_dependencies() {
  local work
  rm -rf "$cache"/work.* "$cache"/deps-*
  work="$(mktemp -d "$cache/work.XXXXXX")"
  chmod 755 "$work"  # apt-get source downloads as the _apt user where it can
  (
    cd "$work"
    for package in "${source_packages[@]}"; do
      local version folder
      version="$(fetch_source "$package")"
      folder="$(find . -maxdepth 1 -type d -name "$package-*" | head -n 1)"
      echo "building $package $version from Debian's source package" >&2
      "build_${package//[-.]/_}" "$work/$folder"
      echo "built $package $version" >>"$work/built"
    done
    build_googletest "$work"
  )
  { dependency_key; cat "$work/built"; } >"$prefix/KEY"
  rm -rf "$work"
}

install_packages
ensure_source_index
stage "packages ready"

mkdir -p "$cache"
key_hash="$(dependency_key | sha256sum | cut -c1-16)"
prefix="$cache/deps-$key_hash"
exec 9>"$cache/lock"
flock 9
if [ ! -f "$prefix/KEY" ]; then
  build_dependencies
fi
flock -u 9
stage "libtiff, zlib, libjpeg, libpng, GoogleTest in $prefix"

# Wine without its Mono and Gecko add-ons (not packaged; Wine would offer to download them)
# and without desktop menu entries.
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
# Little CMS is not cross-built: the DLL delivers channel colours unconverted.
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DORVEX_MINGW_PREFIX="$prefix" \
  -DORVEX_WINEPREFIX="$WINEPREFIX" -DORVEX_COLOR_CONVERSION=OFF "$@" >/dev/null
cmake --build "$build" -j"$jobs"
stage "cross-built"

# One Wine server for the whole run, its session started (and the prefix made, the first
# time) before any test program runs.
mkdir -p "$WINEPREFIX"
wineserver --persistent
trap 'wineserver --kill' EXIT
wineboot >/dev/null 2>&1
stage "Wine ready"

# A hung program under Wine fails its test instead of holding up the run. About one start
# of Wine in two thousand fails at once, without a word and before the program runs (exit
# status 1 within 10 ms, seen under ctest on a busy machine only): a failed test gets one
# more run, so only a test that fails twice fails the build.
ctest --test-dir "$build" --output-on-failure --parallel "$jobs" --timeout 300 \
  --repeat until-pass:2
stage "tests passed under Wine"
