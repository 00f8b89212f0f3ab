# The mingw-w64 cross build runs its programs under Wine: wine-run, ctest's cross-compiling
# emulator, in a Wine prefix of the build folder, finding the DLLs of the cross-built
# dependencies and the compiler's runtime on Wine's PATH (cmake/WindowsInstall.cmake
# lists them).
set(SCRIVO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(dll_folders "")
if(SCRIVO_WHOLE_PROGRAM)
    get_target_property(qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
    foreach(dll ${qt_core} ${SCRIVO_RUNTIME_DLLS} ${SCRIVO_DEPENDENCY_DLLS})
        get_filename_component(dll_folder "${dll}" DIRECTORY)
        list(APPEND dll_folders "${dll_folder}")
    endforeach()
endif()
list(REMOVE_DUPLICATES dll_folders)
set(SCRIVO_WINE_DLL_FOLDERS "${dll_folders}")
configure_file(${PROJECT_SOURCE_DIR}/tests/windows/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
