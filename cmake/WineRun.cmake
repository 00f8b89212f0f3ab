# The mingw-w64 cross build runs its programs under Wine: wine-run, ctest's cross-compiling
# emulator, in a Wine prefix of the build folder, finding the DLLs of the cross-built
# dependencies and the compiler's runtime on Wine's PATH.
set(SCRIVO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(dll_folders "")
if(SCRIVO_WHOLE_PROGRAM)
    foreach(dll libstdc++-6.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
            OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
        get_filename_component(dll_folder "${dll_path}" DIRECTORY)
        list(APPEND dll_folders "${dll_folder}")
    endforeach()
    get_target_property(qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
    get_filename_component(qt_bin "${qt_core}" DIRECTORY)
    list(APPEND dll_folders "${qt_bin}")
    foreach(dll ${SCRIVO_DEPENDENCY_DLLS})
        get_filename_component(dll_folder "${dll}" DIRECTORY)
        list(APPEND dll_folders "${dll_folder}")
    endforeach()
endif()
list(REMOVE_DUPLICATES dll_folders)
set(SCRIVO_WINE_DLL_FOLDERS "${dll_folders}")
configure_file(${PROJECT_SOURCE_DIR}/tests/windows/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
