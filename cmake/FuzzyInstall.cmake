# Installs the headers and the folder libraries with a package config, so hosts can
# find_package(fuzzylingo) and link fuzzylingo::engine (and the other folders).
include(CMakePackageConfigHelpers)

get_property(fuzzy_libraries GLOBAL PROPERTY FUZZY_LIBRARIES)
install(TARGETS ${fuzzy_libraries} EXPORT fuzzylingoTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY fuzzy/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/fuzzy
        FILES_MATCHING PATTERN "*.h"
        PATTERN "testing" EXCLUDE)
install(EXPORT fuzzylingoTargets NAMESPACE fuzzylingo::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/fuzzylingo)
configure_package_config_file(cmake/fuzzylingoConfig.cmake.in
        ${CMAKE_CURRENT_BINARY_DIR}/fuzzylingoConfig.cmake
        INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/fuzzylingo)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/fuzzylingoConfigVersion.cmake
        COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/fuzzylingoConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/fuzzylingoConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/fuzzylingo)
