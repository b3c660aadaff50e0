# spdlog header-only (no SPDLOG_COMPILED_LIB), on fmt header-only, as Debian's headers allow.
include(${CMAKE_CURRENT_LIST_DIR}/DebianHeaders.cmake)
orvex_debian_headers(spdlog::spdlog spdlog fmt DEFINITIONS SPDLOG_FMT_EXTERNAL FMT_HEADER_ONLY)
