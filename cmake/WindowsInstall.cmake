# The Windows program's folder: scrivo.exe beside every DLL it needs (Qt and its windows
# platform plugin and styles, SOCI, MariaDB Connector/C, the Firebird client, the
# compiler's runtime), so that the folder runs on a machine that has nothing else.
#   cmake --install build-windows --prefix <folder>
install(TARGETS scrivo RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> ${SCRIVO_DEPENDENCY_DLLS}
    ${SCRIVO_FIREBIRD_CLIENT_FILES} DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
if(TARGET Qt6::QWindowsVistaStylePlugin)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
endif()
# The compiler's runtime DLLs, where the compiler has them.
set(SCRIVO_RUNTIME_DLLS "")
if(MINGW)
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
            OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
        list(APPEND SCRIVO_RUNTIME_DLLS ${dll_path})
    endforeach()
    install(FILES ${SCRIVO_RUNTIME_DLLS} DESTINATION .)
endif()

# The installer (wixl, Debian's package of that name): that folder, installed for the
# whole machine into Program Files by scrivo-<version>.msi.
#   cmake --build build-windows --target msi
set(SCRIVO_MSI ${CMAKE_BINARY_DIR}/scrivo-${PROJECT_VERSION}.msi)
add_custom_target(msi
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/msi-folder
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${CMAKE_BINARY_DIR}/msi-folder
    COMMAND ${PROJECT_SOURCE_DIR}/resources/windows/make-msi.sh ${CMAKE_BINARY_DIR}/msi-folder ${PROJECT_VERSION}
        ${SCRIVO_ICON_ICO} ${SCRIVO_MSI}
    DEPENDS scrivo
    COMMENT "Making ${SCRIVO_MSI}"
    VERBATIM)
