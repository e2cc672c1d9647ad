# Installed dependencies, never vendored (see docs/architecture.md, "Dependencies").

# --- LZMA SDK (Debian's lzma-dev puts the C sources under /usr/include/lzma). Compiled here,
# single-threaded, so both builds run the very same codec and write identical bytes.
set(NOLU_LZMA_SDK_DIR /usr/include/lzma CACHE PATH "Folder with LzmaDec.c, LzmaEnc.c, LzFind.c")
foreach(f LzmaDec.c LzmaEnc.c LzFind.c)
  if(NOT EXISTS ${NOLU_LZMA_SDK_DIR}/${f})
    message(FATAL_ERROR "${NOLU_LZMA_SDK_DIR}/${f} is missing: install the package lzma-dev")
  endif()
endforeach()
add_library(lzmasdk STATIC ${NOLU_LZMA_SDK_DIR}/LzmaDec.c ${NOLU_LZMA_SDK_DIR}/LzmaEnc.c
                           ${NOLU_LZMA_SDK_DIR}/LzFind.c)
target_compile_definitions(lzmasdk PUBLIC _7ZIP_ST)
# The SDK headers sit beside liblzma's own headers; only the SDK's are used through this path.
target_include_directories(lzmasdk SYSTEM PUBLIC ${NOLU_LZMA_SDK_DIR})
target_compile_options(lzmasdk PRIVATE -w)
set_target_properties(lzmasdk PROPERTIES POSITION_INDEPENDENT_CODE ON)
if(NOLU_SANITIZE)
  target_compile_options(lzmasdk PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
endif()
if(NOLU_FUZZ)
  # The package reader's fuzzer needs to see the decoder's branches to get past it.
  target_compile_options(lzmasdk PRIVATE -fsanitize=fuzzer-no-link)
endif()

# --- zlib (Deflate of the zip backups): zlib1g-dev on the host, libz-mingw-w64-dev for Windows.
# Static on Windows: the setup must run on a bare system, without zlib1.dll beside it.
if(NOLU_WINDOWS)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

# --- GoogleTest: the installed library on the host; compiled from Debian's sources
# (/usr/src/googletest) with the cross compiler for Windows.
if(NOLU_TOOLS_ONLY)
  # No tests, no benchmarks.
elseif(NOLU_WINDOWS)
  set(NOLU_GOOGLETEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${NOLU_GOOGLETEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
  find_package(benchmark QUIET)
endif()
find_package(Threads REQUIRED)
