# Warning and sanitizer flags shared by every target of the project (not by the
# third-party code, which gets its own flags in NoluDependencies.cmake).
add_library(nolu_options INTERFACE)
target_compile_options(nolu_options INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wno-missing-field-initializers>)

if(NOLU_WINDOWS)
  # Every program is a UTF-16 program; the Windows API is used in its W form only.
  target_compile_definitions(nolu_options INTERFACE UNICODE _UNICODE _WIN32_WINNT=0x0A00
                             WINVER=0x0A00 NOMINMAX WIN32_LEAN_AND_MEAN)
  # Wine cannot find the MinGW runtime DLLs, and a setup must run from a bare system.
  target_link_options(nolu_options INTERFACE -static -static-libgcc -static-libstdc++)
  # What runs elevated is hardened as the system expects: a stack protector, addresses
  # randomised (relocatable, 64-bit entropy) and data that never executes. The linker of
  # binutils 2.36 and later sets the three flags by default; they are spelt out so that another
  # linker cannot drop them unnoticed (tests/pe/pe_hardening_test.py reads them back).
  target_compile_options(nolu_options INTERFACE -fstack-protector-strong)
  target_link_options(nolu_options INTERFACE -fstack-protector-strong -Wl,--dynamicbase
                      -Wl,--high-entropy-va -Wl,--nxcompat)
endif()

if(NOLU_SANITIZE)
  target_compile_options(nolu_options INTERFACE -fsanitize=address,undefined
                         -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(nolu_options INTERFACE -fsanitize=address,undefined)
endif()

if(NOLU_TSAN)
  target_compile_options(nolu_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(nolu_options INTERFACE -fsanitize=thread)
endif()
