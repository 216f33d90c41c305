# Third-party libraries. Nothing third-party lives in the repository: natively
# they come from Debian's -dev packages, for Windows from the mingw packages
# or, for libjpeg-turbo, from Debian's source package built here.

if(WIN32)
    set(ZLIB_USE_STATIC_LIBS ON)   # else the DLL import library is picked
endif()
find_package(ZLIB REQUIRED)

if(CMAKE_CROSSCOMPILING)
    include(cmake/CrossJpeg.cmake)
else()
    find_package(JPEG REQUIRED)
endif()

if(QUILLANE_TESTS)
    set(QUILLANE_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    # gtest is third-party: build it without our warnings and sanitizer checks
    # would still apply through the global flags, which is what we want.
    add_subdirectory(${QUILLANE_GTEST_SOURCE}/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
