# Included after project() when the top-level CMakeLists does not add bench/ itself: adds the
# benchmark programs to the build.
add_subdirectory(${CMAKE_CURRENT_LIST_DIR} ${CMAKE_BINARY_DIR}/bench)
