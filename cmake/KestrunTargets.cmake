# Shared compile settings and helpers for the project's targets.

add_library(kl_options INTERFACE)
target_include_directories(kl_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
target_compile_options(kl_options INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
if(WIN32)
  # ANSI (A) API throughout: account texts are bytes of the user's code page.
  target_compile_definitions(kl_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600 STRICT)
  # No time stamp in the executables and no build folder in them: the same
  # source gives the same bytes.
  target_link_options(kl_options INTERFACE -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
  target_compile_options(kl_options INTERFACE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
elseif(KL_SANITIZE)
  target_compile_options(kl_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(kl_options INTERFACE -fsanitize=address,undefined)
endif()

# Every Windows executable lands in one folder, so tests find the program,
# the fake browser and each other beside themselves.
if(WIN32)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endif()

# kl_add_test(NAME <name> SOURCES ... [LIBS ...] [ARGS ...] [GUI])
# A GoogleTest executable; on Windows builds ctest runs it under Wine (the
# toolchain's emulator). GUI tests are serialised: they share one display.
function(kl_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE kl_options ${T_LIBS} gtest_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no ${T_ARGS})
  if(T_GUI)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK display)
  endif()
endfunction()

# kl_split_debug_info(<target>...): the debug information of a program that
# is started and timed moves to <exe>.debug beside it (found by gdb through a
# link in the exe). Under Wine an image's sections are read in whole when
# they are mapped, so megabytes of debug sections delay a program's start by
# some 15 ms; the programs measured against each other all carry none.
function(kl_split_debug_info)
  if(NOT WIN32 OR NOT CMAKE_BUILD_TYPE MATCHES "Deb")
    return()
  endif()
  foreach(target ${ARGN})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
      COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
              $<TARGET_FILE:${target}>
      VERBATIM)
  endforeach()
endfunction()
