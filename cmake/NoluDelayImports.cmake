# Delay-loaded system DLLs (Windows build only).
#
# The loader resolves a program's import table before its first instruction runs, and looks
# for every DLL that is not one of the system's known DLLs beside the program first: a
# "dwmapi.dll" planted in a downloads folder would run inside Setup.exe before it could limit
# the search. A DLL imported through a delay-import library is loaded on the first call of one
# of its functions instead — after wWinMain has limited the search to System32 — and a silent
# run that never calls it does not pay for loading it.
#
# nolu_delay_import(NAME <dll base name> FUNCTIONS <exported function>...)
#
# defines the interface library nolu_delay_<name> to link in place of <name>. Only the listed
# functions can be called through it; a new one is a link error naming the missing symbol.
function(nolu_delay_import)
  cmake_parse_arguments(D "" "NAME" "FUNCTIONS" ${ARGN})
  set(dir ${CMAKE_BINARY_DIR}/delay-imports)
  set(def ${dir}/${D_NAME}.def)
  set(lib ${dir}/lib${D_NAME}_delay.a)
  list(JOIN D_FUNCTIONS "\n" exports)
  file(MAKE_DIRECTORY ${dir})
  file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY ${D_NAME}.dll\nEXPORTS\n${exports}\n")
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${D_NAME}.dll --output-delaylib ${lib}
    DEPENDS ${def} VERBATIM)
  add_custom_target(nolu_delay_${D_NAME}_lib DEPENDS ${lib})
  add_library(nolu_delay_${D_NAME} INTERFACE)
  add_dependencies(nolu_delay_${D_NAME} nolu_delay_${D_NAME}_lib)
  target_link_libraries(nolu_delay_${D_NAME} INTERFACE ${lib})
endfunction()

if(NOLU_WINDOWS)
  if(NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "dlltool of the cross toolchain not found: install binutils-mingw-w64-x86-64")
  endif()
  nolu_delay_import(NAME bcrypt FUNCTIONS BCryptGenRandom)
  # The common controls' attach registers their classes and loads the theme engine (and with
  # it the display driver): a third of a silent run's start-up under Wine. The manifest's
  # activation context still binds the delayed load to version 6.
  nolu_delay_import(NAME comctl32 FUNCTIONS DefSubclassProc InitCommonControlsEx
                                            RemoveWindowSubclass SetWindowSubclass)
  nolu_delay_import(NAME dwmapi FUNCTIONS DwmSetWindowAttribute)
  nolu_delay_import(NAME msimg32 FUNCTIONS AlphaBlend)
  nolu_delay_import(NAME oleacc FUNCTIONS CreateStdAccessibleObject LresultFromObject)
  nolu_delay_import(NAME windowscodecs FUNCTIONS WICConvertBitmapSource)
endif()
