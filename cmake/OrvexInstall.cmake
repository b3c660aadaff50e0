# Installs the headers, both libraries, a CMake package (find_package(orvex) gives
# orvex::orvex) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/logger/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS orvex merrow_logger EXPORT orvexTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS orvex_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT orvexTargets NAMESPACE orvex:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orvex)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/orvexConfig.cmake.in
  ${PROJECT_BINARY_DIR}/orvexConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orvex)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/orvexConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/orvexConfig.cmake ${PROJECT_BINARY_DIR}/orvexConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orvex)

configure_file(${PROJECT_SOURCE_DIR}/cmake/orvex.pc.in ${PROJECT_BINARY_DIR}/orvex.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
