# nolu_add_setup_packages(TARGET <exe target> SETUP_DIR <dir> PRODUCT_DIR <dir>
#                         [SETUP_FILES <name>=<file>...] [PRODUCT_FILES <name>=<file>...]
#                         [LEVEL <0-9>])
#
# How a vendor gives a setup program its payload. At build time:
#   1. the folder SETUP_DIR, plus the SETUP_FILES, is staged as the content of the SETUP
#      package, and PRODUCT_DIR plus the PRODUCT_FILES as that of the PRODUCT package. A
#      <name> is the entry's path inside the package ("System\\menu.dll" or "System/menu.dll");
#      a <file> may be a generator expression such as $<TARGET_FILE:my_dll>, whose target is
#      then built first. A name that the folder already holds is an error;
#   2. `setuptool check` checks the staged data (script, languages, every entry the script
#      names); a failed check fails the build;
#   3. `setuptool pack` builds the two packages (entry names are the staged paths with
#      backslashes), and `setuptool verify` reads each back;
#   4. `setuptool table` copies the PRODUCT package's file table out of it, so that the
#      program can answer lookups at once and decode the large body in the background;
#   5. a generated resource script embeds them into TARGET as RCDATA "SETUP", "PRODUCT" and
#      "PRODUCTTABLE".
#
# The paths of the two packages are left in the target properties NOLU_SETUP_PACKAGE and
# NOLU_PRODUCT_PACKAGE. The cross build runs the setuptool of the host, built from this same
# tree through ExternalProject (NOLU_TOOLS_ONLY); the host build runs its own.

# The setuptool that runs on the build machine: sets `tool` (a path) and `tool_target` (the
# target that builds it) in the caller's scope.
function(_nolu_host_setuptool)
  if(NOT CMAKE_CROSSCOMPILING)
    set(tool $<TARGET_FILE:setuptool> PARENT_SCOPE)
    set(tool_target setuptool PARENT_SCOPE)
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/host-tools)
  if(NOT TARGET nolu_host_tools)
    include(ExternalProject)
    # BUILD_ALWAYS: the tool's sources are this tree, so the sub-build decides what is stale.
    # The tree is this file's, not the caller's project: a vendor's project that adds this
    # tree as a subdirectory calls from its own.
    cmake_path(GET CMAKE_CURRENT_FUNCTION_LIST_DIR PARENT_PATH tree)
    ExternalProject_Add(nolu_host_tools
      SOURCE_DIR ${tree}
      BINARY_DIR ${dir}
      CMAKE_ARGS -DNOLU_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
      BUILD_COMMAND ${CMAKE_COMMAND} --build ${dir} --target setuptool
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${dir}/bin/setuptool
      LOG_CONFIGURE ON
      USES_TERMINAL_BUILD ON)
  endif()
  set(tool ${dir}/bin/setuptool PARENT_SCOPE)
  set(tool_target nolu_host_tools PARENT_SCOPE)
endfunction()

# Stages one package's content and packs it; sets `package` in the caller's scope.
function(_nolu_pack_package kind source_dir files work tool tool_target level check_stamp)
  string(TOLOWER ${kind} lower)
  # Beside this file, wherever the caller's project is.
  set(stage_script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/NoluStagePackage.cmake)
  set(stage ${work}/${lower})
  set(package ${work}/${kind}.ipk5)
  set(manifest_lines "")
  set(built "")
  foreach(pair IN LISTS files)
    if(NOT pair MATCHES "^([^=]+)=(.+)$")
      message(FATAL_ERROR "nolu_add_setup_packages: \"${pair}\" is not <name>=<file>")
    endif()
    string(APPEND manifest_lines "${CMAKE_MATCH_1}=${CMAKE_MATCH_2}\n")
    list(APPEND built ${CMAKE_MATCH_2})
  endforeach()
  file(GENERATE OUTPUT ${work}/${lower}_files.txt CONTENT "${manifest_lines}")
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${source_dir}/*)
  add_custom_command(
    OUTPUT ${stage}.stamp
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${source_dir} -DDEST=${stage}
            -DFILES=${work}/${lower}_files.txt -P ${stage_script}
    COMMAND ${CMAKE_COMMAND} -E touch ${stage}.stamp
    DEPENDS ${sources} ${built} ${work}/${lower}_files.txt ${stage_script}
    COMMENT "Staging the ${kind} package of ${source_dir}"
    VERBATIM)
  add_custom_command(
    OUTPUT ${package}
    COMMAND ${tool} pack ${package} ${stage} --level ${level}
    COMMAND ${tool} verify ${package}
    DEPENDS ${stage}.stamp ${check_stamp} ${tool} ${tool_target}
    COMMENT "Packing ${package}"
    VERBATIM)
  set(package ${package} PARENT_SCOPE)
endfunction()

function(nolu_add_setup_packages)
  cmake_parse_arguments(P "" "TARGET;SETUP_DIR;PRODUCT_DIR;LEVEL" "SETUP_FILES;PRODUCT_FILES"
                        ${ARGN})
  if(P_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "nolu_add_setup_packages: unknown arguments ${P_UNPARSED_ARGUMENTS}")
  endif()
  foreach(required TARGET SETUP_DIR PRODUCT_DIR)
    if(NOT P_${required})
      message(FATAL_ERROR "nolu_add_setup_packages: ${required} is required")
    endif()
  endforeach()
  if(NOT TARGET ${P_TARGET})
    message(FATAL_ERROR "nolu_add_setup_packages: ${P_TARGET} is not a target")
  endif()
  foreach(dir ${P_SETUP_DIR} ${P_PRODUCT_DIR})
    if(NOT IS_DIRECTORY ${dir})
      message(FATAL_ERROR "nolu_add_setup_packages: ${dir} is not a folder")
    endif()
  endforeach()
  if(NOT DEFINED P_LEVEL)
    set(P_LEVEL 9)
  endif()
  if(NOT P_LEVEL MATCHES "^[0-9]$")
    message(FATAL_ERROR "nolu_add_setup_packages: LEVEL must be 0 to 9, not ${P_LEVEL}")
  endif()

  _nolu_host_setuptool()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${P_TARGET}_packages)
  set(check_stamp ${work}/check.stamp)
  _nolu_pack_package(SETUP ${P_SETUP_DIR} "${P_SETUP_FILES}" ${work} ${tool} ${tool_target}
                     ${P_LEVEL} ${check_stamp})
  set(setup_package ${package})
  _nolu_pack_package(PRODUCT ${P_PRODUCT_DIR} "${P_PRODUCT_FILES}" ${work} ${tool}
                     ${tool_target} ${P_LEVEL} ${check_stamp})
  set(product_package ${package})
  set(product_table ${work}/PRODUCT.table)
  add_custom_command(
    OUTPUT ${product_table}
    COMMAND ${tool} table ${product_package} ${product_table}
    DEPENDS ${product_package} ${tool} ${tool_target}
    COMMENT "Copying the file table of ${product_package}"
    VERBATIM)
  add_custom_command(
    OUTPUT ${check_stamp}
    COMMAND ${tool} check ${work}/setup ${work}/product
    COMMAND ${CMAKE_COMMAND} -E touch ${check_stamp}
    DEPENDS ${work}/setup.stamp ${work}/product.stamp ${tool} ${tool_target}
    COMMENT "Checking the setup data of ${P_TARGET}"
    VERBATIM)

  set(rc ${work}/packages.rc)
  file(GENERATE OUTPUT ${rc} CONTENT
       "// Generated by nolu_add_setup_packages: the payload of ${P_TARGET}.\nSETUP RCDATA \"${setup_package}\"\nPRODUCT RCDATA \"${product_package}\"\nPRODUCTTABLE RCDATA \"${product_table}\"\n")
  set_source_files_properties(${rc} PROPERTIES GENERATED ON
                              OBJECT_DEPENDS "${setup_package};${product_package};${product_table}")
  target_sources(${P_TARGET} PRIVATE ${rc})
  # The resource compiler does not see the package files as dependencies of the script.
  add_custom_target(${P_TARGET}_packages DEPENDS ${setup_package} ${product_package}
                                                  ${product_table})
  add_dependencies(${P_TARGET} ${P_TARGET}_packages)
  set_target_properties(${P_TARGET} PROPERTIES NOLU_SETUP_PACKAGE ${setup_package}
                                               NOLU_PRODUCT_PACKAGE ${product_package})
endfunction()
