include(${CMAKE_CURRENT_LIST_DIR}/DebianHeaders.cmake)
orvex_debian_headers(CLI11::CLI11 CLI)
