# Runs the cross-built test programs under Wine through a generated wrapper.
find_program(QUILLANE_WINE wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(QUILLANE_WINESERVER wineserver64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT QUILLANE_WINE OR NOT QUILLANE_WINESERVER)
    message(STATUS "wine64 not found: the Windows tests will not be registered")
    return()
endif()
set(QUILLANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(QUILLANE_FONT_REG ${CMAKE_SOURCE_DIR}/cmake/wine-fonts.reg)
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(QUILLANE_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLANE_WINE_RUN})
