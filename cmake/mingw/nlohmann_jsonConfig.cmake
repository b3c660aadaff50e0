include(${CMAKE_CURRENT_LIST_DIR}/DebianHeaders.cmake)
orvex_debian_headers(nlohmann_json::nlohmann_json nlohmann)
