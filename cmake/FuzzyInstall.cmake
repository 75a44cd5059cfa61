# Installs the headers and the folder libraries with a package config, so hosts can
# find_package(fuzzylingo) and link fuzzylingo::fuzzylingo (everything) or one folder's target
# (fuzzylingo::engine, ...). Internal headers (internal/ folders) and test helpers stay behind.
include(CMakePackageConfigHelpers)

get_property(fuzzy_libraries GLOBAL PROPERTY FUZZY_LIBRARIES)
add_library(fuzzylingo INTERFACE)
add_library(fuzzylingo::fuzzylingo ALIAS fuzzylingo)
target_link_libraries(fuzzylingo INTERFACE ${fuzzy_libraries})
install(TARGETS ${fuzzy_libraries} fuzzylingo EXPORT fuzzylingoTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY fuzzy/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/fuzzy
        FILES_MATCHING PATTERN "*.h"
        PATTERN "testing" EXCLUDE
        PATTERN "internal" EXCLUDE
        PATTERN "*_test.h" EXCLUDE)
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
