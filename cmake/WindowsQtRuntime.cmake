# Windows builds with Qt: the Qt DLLs, the mingw-w64 runtime they load, and the platform and
# style plugins, copied into bin/ beside the programs (so they run from the build tree) and
# installed beside the program. Qt stays a set of shared libraries the user can replace.
#
# Layout in the build tree and in an install (cmake --install BUILD --prefix DIR):
#   bin/VorlanMacroGenerator.exe, bin/vmacgen.exe
#   bin/Qt6Core.dll, bin/Qt6Gui.dll, bin/Qt6Widgets.dll
#   bin/libstdc++-6.dll, bin/libwinpthread-1.dll, bin/libgcc_s_seh-1.dll (x86_64)
#                                                or bin/libgcc_s_dw2-1.dll (i686)
#   bin/platforms/qwindows.dll, bin/styles/qwindowsvistastyle.dll
# The build tree's bin/ also holds what only tests use, never installed: Qt6Test.dll and
# platforms/qoffscreen.dll.

# The DLL behind an imported Qt target (Qt's packages know only their release build).
function(vmg_qt_dll out target)
    foreach(property IMPORTED_LOCATION_RELEASE IMPORTED_LOCATION)
        get_target_property(location ${target} ${property})
        if(location)
            set(${out} ${location} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "No DLL found for ${target}")
endfunction()

foreach(module Core Gui Widgets Test)
    vmg_qt_dll(vmg_qt_${module} Qt6::${module})
endforeach()
vmg_qt_dll(vmg_qt_qwindows Qt6::QWindowsIntegrationPlugin)
vmg_qt_dll(vmg_qt_qoffscreen Qt6::QOffscreenIntegrationPlugin)
vmg_qt_dll(vmg_qt_vista Qt6::QWindowsVistaStylePlugin)
# The compiler's runtime, which Qt's DLLs import, comes with the Qt build (same compiler).
get_filename_component(vmg_qt_bin ${vmg_qt_Core} DIRECTORY)
file(GLOB vmg_mingw_runtime ${vmg_qt_bin}/libstdc++-6.dll ${vmg_qt_bin}/libwinpthread-1.dll
     ${vmg_qt_bin}/libgcc_s_*.dll)
list(LENGTH vmg_mingw_runtime vmg_runtime_count)
if(NOT vmg_runtime_count EQUAL 3)
    message(FATAL_ERROR "Expected three mingw-w64 runtime DLLs in ${vmg_qt_bin}, found: "
                        "${vmg_mingw_runtime}")
endif()

set(VMG_QT_RUNTIME_DLLS ${vmg_qt_Core} ${vmg_qt_Gui} ${vmg_qt_Widgets} ${vmg_mingw_runtime})
set(VMG_QT_PLATFORM_PLUGINS ${vmg_qt_qwindows})
set(VMG_QT_STYLE_PLUGINS ${vmg_qt_vista})

set(vmg_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(vmg_copied)
function(vmg_copy_beside_programs subfolder)
    foreach(file ${ARGN})
        get_filename_component(name ${file} NAME)
        set(copy ${vmg_bin}/${subfolder}${name})
        add_custom_command(OUTPUT ${copy}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${vmg_bin}/${subfolder}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${copy}
            DEPENDS ${file}
            VERBATIM)
        list(APPEND vmg_copied ${copy})
    endforeach()
    set(vmg_copied ${vmg_copied} PARENT_SCOPE)
endfunction()
vmg_copy_beside_programs("" ${VMG_QT_RUNTIME_DLLS} ${vmg_qt_Test})
vmg_copy_beside_programs("platforms/" ${VMG_QT_PLATFORM_PLUGINS} ${vmg_qt_qoffscreen})
vmg_copy_beside_programs("styles/" ${VMG_QT_STYLE_PLUGINS})
add_custom_target(vmg_qt_runtime DEPENDS ${vmg_copied})

install(FILES ${VMG_QT_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VMG_QT_PLATFORM_PLUGINS} DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
install(FILES ${VMG_QT_STYLE_PLUGINS} DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)
