# nolu_add_fuzzer(NAME <name> SOURCES <files...> LIBS <targets...>)
#
# A fuzz target defines LLVMFuzzerTestOneInput. Two ways to build it:
#   * the `fuzz` preset (clang, NOLU_FUZZ=ON) links it with libFuzzer: `./run fuzz <name> [s]`;
#   * the host build links it with fuzz/standalone_main.cpp and registers a CTest test that
#     feeds it every file of fuzz/corpus/<name>/ under the sanitizers, so the seed corpus and
#     every crash found and saved there stay regression tests.
# The Windows build has no fuzz targets.
if(NOLU_FUZZ)
  # Coverage instrumentation for all project code, so libFuzzer sees inside the libraries.
  target_compile_options(nolu_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

function(nolu_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOLU_WINDOWS OR NOLU_TOOLS_ONLY)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS} nolu_options)
  if(NOLU_FUZZ)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${F_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/standalone_main.cpp)
    add_test(NAME ${F_NAME}_corpus
             COMMAND ${F_NAME} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${F_NAME})
    set_tests_properties(${F_NAME}_corpus PROPERTIES LABELS host TIMEOUT 600)
  endif()
endfunction()
