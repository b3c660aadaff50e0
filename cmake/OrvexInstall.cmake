# Installs the headers, both libraries, a CMake package (find_package(orvex) gives
# orvex::orvex) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/logger/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# A host that finds liborvex through its own run path would not find the logging module beside
# it, since run paths do not carry over to a library's dependencies; the library looks there
# itself, wherever the prefix is. The installed tool finds them from its own folder the same
# way (on Windows the DLLs sit beside it).
if(NOT WIN32 AND NOT APPLE)
  set_target_properties(orvex PROPERTIES INSTALL_RPATH "$ORIGIN")
  file(RELATIVE_PATH libdir_from_bindir ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(orvex_cli PROPERTIES INSTALL_RPATH "$ORIGIN/${libdir_from_bindir}")
endif()
install(TARGETS orvex merrow_logger EXPORT orvexTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS orvex_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT orvexTargets NAMESPACE orvex:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orvex)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/orvexConfig.cmake.in
  ${PROJECT_BINARY_DIR}/orvexConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orvex)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/orvexConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/orvexConfig.cmake ${PROJECT_BINARY_DIR}/orvexConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orvex)

# The pkg-config file finds its prefix from its own folder, so that it stays right when
# `cmake --install --prefix` puts the files somewhere other than the configured prefix. Its
# libraries are both the library and the logging module, whose observer hosts call.
set(ORVEX_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ORVEX_PC_PREFIX_FROM_PCFILEDIR /prefix/${ORVEX_PKGCONFIG_DIR} /prefix)
string(REGEX REPLACE "/$" "" ORVEX_PC_PREFIX_FROM_PCFILEDIR "${ORVEX_PC_PREFIX_FROM_PCFILEDIR}")
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(ORVEX_PC_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(ORVEX_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/orvex.pc.in ${PROJECT_BINARY_DIR}/orvex.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvex.pc DESTINATION ${ORVEX_PKGCONFIG_DIR})
