# What the Windows cross-build (cmake/toolchain-mingw64.cmake, scripts/windows-build.sh)
# needs beyond the Linux build.

# libtiff is a static library here, so the libraries of its Deflate and JPEG codecs are
# linked wherever it is.
find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)
set_property(TARGET TIFF::TIFF APPEND PROPERTY INTERFACE_LINK_LIBRARIES ZLIB::ZLIB JPEG::JPEG)

# find_package of the header-only spdlog, CLI11 and nlohmann_json gets Debian's headers.
foreach(package spdlog CLI11 nlohmann_json)
  set(${package}_DIR ${PROJECT_SOURCE_DIR}/cmake/mingw)
endforeach()

# Test programs run under Wine, in a prefix of the build's own, without the Mono and Gecko
# add-ons and desktop menu entries; their tests are listed when ctest runs, since the build
# itself never runs a Windows program.
set(ORVEX_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix for the tests")
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${ORVEX_WINEPREFIX} WINEDEBUG=-all
  WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d wine)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
