# The program's icon on Windows: an .ico drawn from our SVG at build time, built into
# VorlanMacroGenerator.exe as its first icon resource (Explorer and the taskbar show it) and used
# by the installer for the Start-menu shortcut and "Apps & features".
find_program(VMG_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VMG_ICOTOOL icotool REQUIRED)

set(vmg_icon_svg ${PROJECT_SOURCE_DIR}/data/icons/com.quillory.vorlan_macro_generator.svg)
set(vmg_icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icon)
set(VMG_WINDOWS_ICON ${vmg_icon_dir}/VorlanMacroGenerator.ico)

set(vmg_icon_pngs)
set(vmg_icon_commands)
foreach(size 16 24 32 48 64 256)
    list(APPEND vmg_icon_pngs ${vmg_icon_dir}/${size}.png)
    list(APPEND vmg_icon_commands COMMAND ${VMG_RSVG_CONVERT} --width=${size} --height=${size}
         --output=${vmg_icon_dir}/${size}.png ${vmg_icon_svg})
endforeach()
list(REMOVE_ITEM vmg_icon_pngs ${vmg_icon_dir}/256.png)

# The 256-pixel image stays PNG inside the .ico, as Windows expects at that size.
add_custom_command(OUTPUT ${VMG_WINDOWS_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${vmg_icon_dir}
    ${vmg_icon_commands}
    COMMAND ${VMG_ICOTOOL} --create --output=${VMG_WINDOWS_ICON} ${vmg_icon_pngs}
            --raw=${vmg_icon_dir}/256.png
    DEPENDS ${vmg_icon_svg}
    COMMENT "Drawing the program's icon"
    VERBATIM)

# IDI_ICON1 is the name Qt's Windows platform also looks up as a window's default icon.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/VorlanMacroGenerator.rc
     "IDI_ICON1 ICON \"${VMG_WINDOWS_ICON}\"\n")
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/VorlanMacroGenerator.rc
    PROPERTIES OBJECT_DEPENDS ${VMG_WINDOWS_ICON})
target_sources(VorlanMacroGenerator PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/VorlanMacroGenerator.rc)
