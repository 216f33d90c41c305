# libjpeg-turbo for the Windows targets, built from Debian's source tarball
# (fetched by scripts/fetch-libjpeg-source.sh into a cache outside the tree)
# with the same toolchain file, as a static library with the libjpeg 6.2 API.
include(ExternalProject)

set(QUILLANE_JPEG_TARBALL "" CACHE FILEPATH "libjpeg-turbo source tarball")
if(NOT QUILLANE_JPEG_TARBALL)
    execute_process(
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-libjpeg-source.sh
        OUTPUT_VARIABLE _tarball OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE _rc)
    if(NOT _rc EQUAL 0 OR NOT EXISTS "${_tarball}")
        message(FATAL_ERROR "libjpeg-turbo source not available (${_rc})")
    endif()
    set(QUILLANE_JPEG_TARBALL "${_tarball}" CACHE FILEPATH "libjpeg-turbo source tarball" FORCE)
endif()

set(_jpeg_prefix ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo)
set(_jpeg_lib ${_jpeg_prefix}/lib/libjpeg.a)
find_program(NASM_PROGRAM nasm)
if(NASM_PROGRAM)
    set(_jpeg_simd ON)
else()
    set(_jpeg_simd OFF)
endif()

ExternalProject_Add(libjpeg_turbo_build
    URL ${QUILLANE_JPEG_TARBALL}
    PREFIX ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo-build
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
        -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_INSTALL_PREFIX=${_jpeg_prefix}
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
        -DWITH_TURBOJPEG=OFF -DWITH_SIMD=${_jpeg_simd}
        -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
    BUILD_BYPRODUCTS ${_jpeg_lib}
    DOWNLOAD_EXTRACT_TIMESTAMP ON)

file(MAKE_DIRECTORY ${_jpeg_prefix}/include)
add_library(JPEG::JPEG STATIC IMPORTED GLOBAL)
set_target_properties(JPEG::JPEG PROPERTIES
    IMPORTED_LOCATION ${_jpeg_lib}
    INTERFACE_INCLUDE_DIRECTORIES ${_jpeg_prefix}/include)
add_dependencies(JPEG::JPEG libjpeg_turbo_build)
