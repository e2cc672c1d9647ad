# nolu_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [PORTABLE | WIN32_ONLY | HOST_ONLY])
#
# One test program per layer or subsystem, registered as one CTest test (the program's own
# output names the failing case). PORTABLE tests are built and run by both builds (natively
# and under Wine); WIN32_ONLY tests only by the Windows build (under Wine); HOST_ONLY tests
# only by the host build. The label tells ./run which group a test belongs to.
function(nolu_add_test)
  cmake_parse_arguments(T "PORTABLE;WIN32_ONLY;HOST_ONLY" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOLU_TOOLS_ONLY)
    return()
  endif()
  if(T_WIN32_ONLY AND NOT NOLU_WINDOWS)
    return()
  endif()
  if(T_HOST_ONLY AND NOLU_WINDOWS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main nolu_options)
  if(NOLU_WINDOWS)
    # Console test programs; the test driver and CTest read their output.
    target_link_options(${T_NAME} PRIVATE -mconsole)
    # GCC 12 at -O2 reports impossible overlaps inside std::basic_string's operator+ once a
    # test's tables of strings are inlined (GCC bug 105651); the library code is not affected.
    target_compile_options(${T_NAME} PRIVATE -Wno-restrict)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
  if(T_WIN32_ONLY)
    set(label win32)
  elseif(T_HOST_ONLY)
    set(label host)
  else()
    set(label portable)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS ${label} TIMEOUT 600)
endfunction()
