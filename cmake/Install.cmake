# The installed program: its layout, desktop entry, icons, software-centre file, man pages,
# the Debian package, and the tests of all of them.
include(GNUInstallDirs)

set(VMG_APP_ID com.quillory.vorlan_macro_generator)
set(VMG_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

# Our plug-in manager library is private to the program: the loader finds it in the program's
# own library folder, relative to the program's folder (so any prefix and any DESTDIR work
# without an RPATH). On Windows it is a stand-in for tests only and is never installed: beside
# the wizard it would shadow the IDE's own qvPluginMgr.dll.
if(NOT WIN32)
    # Under the multiarch library folder where the system has one (lib/x86_64-linux-gnu), also
    # when the build was configured for /usr/local: a library right under lib/ would make the
    # .deb run ldconfig for a folder the linker never searches.
    set(vmg_libdir ${CMAKE_INSTALL_LIBDIR})
    if(CMAKE_LIBRARY_ARCHITECTURE AND vmg_libdir STREQUAL "lib")
        set(vmg_libdir lib/${CMAKE_LIBRARY_ARCHITECTURE})
    endif()
    set(VMG_PLUGIN_DIR ${vmg_libdir}/vorlan-macro-generator)
    set(vmg_plugin_full ${VMG_PLUGIN_DIR})
    if(NOT IS_ABSOLUTE "${vmg_plugin_full}")
        set(vmg_plugin_full ${CMAKE_INSTALL_PREFIX}/${VMG_PLUGIN_DIR})
    endif()
    file(RELATIVE_PATH vmg_plugin_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${vmg_plugin_full})
    target_compile_definitions(vmg_ide PRIVATE VMG_PRIVATE_LIBRARY_FOLDER="${vmg_plugin_from_bin}")
endif()

install(TARGETS vmacgen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(VMG_GUI)
    install(TARGETS VorlanMacroGenerator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(NOT WIN32)
    install(TARGETS qvPluginMgr LIBRARY DESTINATION ${VMG_PLUGIN_DIR})
endif()

# ---- Windows: the help pages and the licences beside the program, for the packages ----
if(WIN32)
    # The licences with Windows line ends, under names Windows opens with a double click;
    # remade whenever their text changes.
    foreach(text LICENSE THIRD-PARTY)
        file(READ ${PROJECT_SOURCE_DIR}/${text} vmg_text)
        string(REPLACE "\n" "\r\n" vmg_text "${vmg_text}")
        file(WRITE ${CMAKE_BINARY_DIR}/windows/${text}.txt "${vmg_text}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${text})
    endforeach()
    install(FILES ${CMAKE_BINARY_DIR}/windows/LICENSE.txt ${CMAKE_BINARY_DIR}/windows/THIRD-PARTY.txt
        DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(VMG_GUI)
        # The wizard shows its help from inside itself; the same pages stay readable in a browser.
        file(GLOB vmg_help_pages ${PROJECT_SOURCE_DIR}/wizard/help/*.html)
        install(FILES ${vmg_help_pages} ${PROJECT_SOURCE_DIR}/wizard/help/style.css
            DESTINATION ${CMAKE_INSTALL_BINDIR}/help)
    endif()
    # What tools/package-windows.sh needs to know about this build.
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/package-windows.env CONTENT
"VMG_VERSION='${PROJECT_VERSION}'
VMG_ARCH='${CMAKE_SYSTEM_PROCESSOR}'
VMG_OBJDUMP='${CMAKE_OBJDUMP}'
VMG_GUI='${VMG_GUI}'
")
endif()

if(WIN32 OR APPLE OR CMAKE_CROSSCOMPILING)
    return()
endif()

# ---- Desktop integration: the entry, the icons and the software-centre file ----
find_program(VMG_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VMG_HELP2MAN help2man REQUIRED)
find_program(VMG_SCDOC scdoc REQUIRED)
find_program(VMG_GZIP gzip REQUIRED)

set(vmg_icon_svg ${VMG_DATA_DIR}/icons/${VMG_APP_ID}.svg)
set(vmg_made_files)
foreach(size 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${VMG_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${VMG_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${vmg_icon_svg}
        DEPENDS ${vmg_icon_svg}
        COMMENT "Drawing the ${size}x${size} icon"
        VERBATIM)
    list(APPEND vmg_made_files ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${vmg_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VMG_DATA_DIR}/${VMG_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VMG_DATA_DIR}/${VMG_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The macro source file type, which the desktop entry opens.
install(FILES ${VMG_DATA_DIR}/${VMG_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${VMG_APP_ID}.xml)

# ---- Man pages ----
# vmacgen's page is made from its own --help text, so it lists every command the program has;
# the wizard has no options to describe, so its page is written as scdoc source.
set(vmg_man_dir ${CMAKE_BINARY_DIR}/man)
add_custom_command(OUTPUT ${vmg_man_dir}/vmacgen.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${vmg_man_dir}
    COMMAND ${VMG_HELP2MAN} --no-info --version-string=${PROJECT_VERSION}
            "--name=generate Vorlan BASIC macros from macro source files"
            --include=${VMG_DATA_DIR}/man/vmacgen.h2m --output=${vmg_man_dir}/vmacgen.1
            $<TARGET_FILE:vmacgen>
    COMMAND ${VMG_GZIP} -9nf ${vmg_man_dir}/vmacgen.1
    DEPENDS vmacgen ${VMG_DATA_DIR}/man/vmacgen.h2m
    COMMENT "Writing the vmacgen man page"
    VERBATIM)
add_custom_command(OUTPUT ${vmg_man_dir}/VorlanMacroGenerator.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${vmg_man_dir}
    COMMAND sh -c "\"$0\" < \"$1\" > \"$2\"" ${VMG_SCDOC}
            ${VMG_DATA_DIR}/man/VorlanMacroGenerator.1.scd ${vmg_man_dir}/VorlanMacroGenerator.1
    COMMAND ${VMG_GZIP} -9nf ${vmg_man_dir}/VorlanMacroGenerator.1
    DEPENDS ${VMG_DATA_DIR}/man/VorlanMacroGenerator.1.scd
    COMMENT "Writing the VorlanMacroGenerator man page"
    VERBATIM)
list(APPEND vmg_made_files ${vmg_man_dir}/vmacgen.1.gz ${vmg_man_dir}/VorlanMacroGenerator.1.gz)
install(FILES ${vmg_man_dir}/vmacgen.1.gz ${vmg_man_dir}/VorlanMacroGenerator.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# ---- The package's documentation folder: its copyright and its changelog ----
set(VMG_PACKAGE_NAME vorlan-macro-generator)
set(VMG_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${VMG_PACKAGE_NAME})
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
    COMMAND sh -c "\"$0\" -9nc < \"$1\" > \"$2\"" ${VMG_GZIP}
            ${VMG_DATA_DIR}/debian/changelog ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz
    DEPENDS ${VMG_DATA_DIR}/debian/changelog
    COMMENT "Compressing the package's changelog"
    VERBATIM)
list(APPEND vmg_made_files ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz)
install(FILES ${VMG_DATA_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz
    DESTINATION ${VMG_PACKAGE_DOC_DIR})
# Each override says why, in the file itself.
install(FILES ${VMG_DATA_DIR}/debian/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${VMG_PACKAGE_NAME})

add_custom_target(vmg_install_files ALL DEPENDS ${vmg_made_files})

# ---- The Debian package: make package ----
set(VMG_PACKAGE_MAINTAINER "Vorlan Macro Generator maintainers <maintainers@quillory.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VMG_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The Debian revision: the package's version is 1.0-1, as the first entry of its changelog says.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_VENDOR Quillory)
set(CPACK_PACKAGE_CONTACT ${VMG_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"wizard that writes macros for the Vorlan BASIC compiler for PIC chips
A seven-page wizard that writes a new command, a macro, for the Vorlan
BASIC compiler for PIC microcontrollers (14-bit and 16-bit cores). It
asks for the macro's name, its parameters with their data types and
destination variables, the routine it calls and how it returns a value,
and makes the MACRO ... ENDM block with compile-time checks of the count
and the kind of each argument, the USER.MCD keyword block with the IDE's
hint pop-up, and a macro source file that reloads every answer.
.
It reads the labels, variables and PIC core of the page being edited and
pastes the macro at the cursor, through the IDE's plug-in manager or the
bundled library that follows any editor via 'vmacgen attach'. The vmacgen
command runs the same generators from build scripts.")
include(CPack)

# ---- Tests of the installed program and of the desktop files ----
# The install is checked in the plain build, the one that is packaged; the sanitized tree
# checks the same programs through the rest of the suite.
if(NOT VMG_SANITIZE)
    add_test(NAME install.layout_and_run
        COMMAND sh ${PROJECT_SOURCE_DIR}/tests/install/check-install.sh
                ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR}/examples/AddNums.mcs
                ${CMAKE_INSTALL_BINDIR} ${VMG_PLUGIN_DIR} ${CMAKE_INSTALL_DATADIR}
                ${CMAKE_INSTALL_MANDIR} ${VMG_APP_ID})
endif()
# The .deb of make package: lintian-clean, with its changelog at the package's version.
find_program(VMG_LINTIAN lintian)
if(VMG_LINTIAN AND NOT VMG_SANITIZE)
    add_test(NAME install.deb_lintian_clean
        COMMAND sh ${PROJECT_SOURCE_DIR}/tests/install/check-deb.sh
                ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} ${VMG_DATA_DIR}/debian/changelog)
endif()
find_program(VMG_DESKTOP_FILE_VALIDATE desktop-file-validate)
if(VMG_DESKTOP_FILE_VALIDATE)
    add_test(NAME install.desktop_entry_validates
        COMMAND ${VMG_DESKTOP_FILE_VALIDATE} ${VMG_DATA_DIR}/${VMG_APP_ID}.desktop)
    # Warnings and hints count as failures too.
    set_tests_properties(install.desktop_entry_validates PROPERTIES FAIL_REGULAR_EXPRESSION ".")
endif()
find_program(VMG_APPSTREAMCLI appstreamcli)
if(VMG_APPSTREAMCLI)
    add_test(NAME install.metainfo_validates
        COMMAND ${VMG_APPSTREAMCLI} validate --pedantic --no-net --explain
                ${VMG_DATA_DIR}/${VMG_APP_ID}.metainfo.xml)
    set_tests_properties(install.metainfo_validates PROPERTIES
        PASS_REGULAR_EXPRESSION "Validation was successful"
        FAIL_REGULAR_EXPRESSION "pedantic:|info:|warnings:|errors:")
endif()
