# cmake -DSOURCE=<folder> -DDEST=<folder> -DFILES=<manifest> -P NoluStagePackage.cmake
#
# Makes DEST an exact copy of SOURCE plus the files of the manifest (lines <name>=<file>, the
# name being the path inside the package with "\" or "/" separators). DEST is emptied first,
# so a file deleted from SOURCE never lingers in a package.
foreach(var SOURCE DEST FILES)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "NoluStagePackage: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${DEST})
file(MAKE_DIRECTORY ${DEST})
file(COPY ${SOURCE}/ DESTINATION ${DEST})

file(STRINGS ${FILES} lines)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([^=]+)=(.+)$")
    message(FATAL_ERROR "NoluStagePackage: bad manifest line \"${line}\"")
  endif()
  string(REPLACE "\\" "/" name "${CMAKE_MATCH_1}")
  set(file "${CMAKE_MATCH_2}")
  if(name MATCHES "(^|/)\\.\\.?(/|$)" OR IS_ABSOLUTE "${name}" OR name MATCHES "^/|:")
    message(FATAL_ERROR "NoluStagePackage: \"${CMAKE_MATCH_1}\" is not a path inside the package")
  endif()
  if(EXISTS ${DEST}/${name})
    message(FATAL_ERROR
            "NoluStagePackage: \"${CMAKE_MATCH_1}\" is both in ${SOURCE} and added as ${file}")
  endif()
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "NoluStagePackage: ${file} (for \"${CMAKE_MATCH_1}\") does not exist")
  endif()
  get_filename_component(folder ${DEST}/${name} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(COPY_FILE ${file} ${DEST}/${name})
endforeach()
