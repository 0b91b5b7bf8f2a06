# Build helpers shared by every folder: embedding files, and registering tests
# for the three builds (Windows under Wine, native with sanitizers, fuzz).

set(BOARD_HARNESS_DIR ${CMAKE_SOURCE_DIR}/tests/harness)
include(${CMAKE_SOURCE_DIR}/tests/emulated/guest.cmake)

# Puts FILE into TARGET as a ByteBuffer named SYMBOL (extern "C"): a 32-bit
# length followed by the bytes, pulled in by the assembler so megabytes cost nothing.
function(board_embed TARGET SYMBOL FILE)
  get_filename_component(path ${FILE} ABSOLUTE)
  set(asm ${CMAKE_CURRENT_BINARY_DIR}/embed/${SYMBOL}.S)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/embed.S.in ${asm} @ONLY)
  set_source_files_properties(${asm} PROPERTIES OBJECT_DEPENDS ${path})
  target_sources(${TARGET} PRIVATE ${asm})
endfunction()

# The linker's name of a WINAPI function taking ARG_BYTES bytes of arguments:
# only i686 decorates it with an underscore and the byte count.
function(board_winapi_symbol OUT NAME ARG_BYTES)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
    set(${OUT} _${NAME}@${ARG_BYTES} PARENT_SCOPE)
  else()
    set(${OUT} ${NAME} PARENT_SCOPE)
  endif()
endfunction()

# The skins' numbers as their file names carry them: 01, 02, ... 33.
set(BOARD_SKIN_COUNT 33)
function(board_skin_numbers OUT)
  set(numbers)
  foreach(n RANGE 1 ${BOARD_SKIN_COUNT})
    if(n LESS 10)
      list(APPEND numbers 0${n})
    else()
      list(APPEND numbers ${n})
    endif()
  endforeach()
  set(${OUT} ${numbers} PARENT_SCOPE)
endfunction()

function(_board_parse_test)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ARGS;PROPERTIES" ${ARGN})
  set(T_SOURCES ${T_SOURCES} PARENT_SCOPE)
  set(T_LIBS ${T_LIBS} PARENT_SCOPE)
  set(T_ARGS ${T_ARGS} PARENT_SCOPE)
  set(T_PROPERTIES ${T_PROPERTIES} PARENT_SCOPE)
endfunction()

# Builds the rest of the calling folder optimised and without the sanitizers:
# tools that crunch data for the tests, and timings, want plain fast code.
macro(board_uninstrumented_folder)
  foreach(kind COMPILE_OPTIONS LINK_OPTIONS)
    get_property(options DIRECTORY PROPERTY ${kind})
    list(FILTER options EXCLUDE REGEX "sanitize")
    set_property(DIRECTORY PROPERTY ${kind} ${options})
  endforeach()
  add_compile_options(-O2)
endmacro()

# A GoogleTest program of portable code, built and run natively under ASan + UBSan.
function(board_native_test NAME)
  if(NOT BOARD_NATIVE)
    return()
  endif()
  _board_parse_test(${ARGN})
  add_executable(${NAME} ${T_SOURCES})
  target_link_libraries(${NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME native.${NAME} COMMAND ${NAME} ${T_ARGS})
  if(T_PROPERTIES)
    set_tests_properties(native.${NAME} PROPERTIES ${T_PROPERTIES})
  endif()
endfunction()

# A GoogleTest program that needs Windows: cross-built, run under Wine inside a
# private display and sound server by the harness.
function(board_wine_test NAME)
  if(NOT WIN32)
    return()
  endif()
  _board_parse_test(${ARGN})
  add_executable(${NAME} ${T_SOURCES})
  target_link_libraries(${NAME} PRIVATE ${T_LIBS} gtest_main_win)
  board_add_wine_command(${NAME} ${BOARD_HARNESS_DIR}/wine-run $<TARGET_FILE:${NAME}> ${T_ARGS})
  if(T_PROPERTIES)
    set_tests_properties(${BOARD_WINE_TEST_PREFIX}.${NAME} PROPERTIES ${T_PROPERTIES})
  endif()
endfunction()

# An end-to-end script under Wine (bash, sourcing the harness's session.sh).
# The script finds the build through BOARD_BUILD_DIR and the checkers through BOARD_HOST_TOOLS.
function(board_wine_script NAME SCRIPT)
  if(NOT WIN32)
    return()
  endif()
  get_filename_component(path ${SCRIPT} ABSOLUTE)
  board_add_wine_command(${NAME} bash ${path} ${ARGN})
endfunction()

# Windows tests are named for the architecture they run: wine.x86_64.NAME, wine.i686.NAME.
set(BOARD_WINE_TEST_PREFIX wine.${CMAKE_SYSTEM_PROCESSOR})

function(board_add_wine_command NAME)
  set(test ${BOARD_WINE_TEST_PREFIX}.${NAME})
  set(command ${ARGN})
  set(labels "wine;wine-${CMAKE_SYSTEM_PROCESSOR}")
  # Where the host runs no 32-bit code, an emulated i386 system runs it (tests/emulated),
  # under the same lock: beside a host Wine test, the guest's sound breaks up.
  board_runs_in_guest(in_guest ${NAME})
  if(in_guest)
    set(command ${BOARD_GUEST_RUN} ${ARGN})
    set(labels "wine;emulated-i386")
  endif()
  add_test(NAME ${test} COMMAND ${command})
  set_tests_properties(${test} PROPERTIES
    RESOURCE_LOCK wine
    LABELS "${labels}"
    TIMEOUT 1800
    ENVIRONMENT "BOARD_ARCH=${CMAKE_SYSTEM_PROCESSOR};BOARD_BUILD_DIR=${CMAKE_BINARY_DIR};BOARD_HOST_TOOLS=${BOARD_HOST_TOOLS};BOARD_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;BOARD_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(in_guest)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED i386_guest)
  endif()
endfunction()

# A libFuzzer target of portable code; ctest runs it briefly over its corpus.
function(board_fuzz_target NAME)
  if(NOT BOARD_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${NAME} ${F_SOURCES})
  target_compile_options(${NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${NAME} PRIVATE ${F_LIBS})
  # New inputs go to a corpus in the build tree; the committed seeds are only read.
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${NAME}_corpus)
  file(MAKE_DIRECTORY ${work})
  set(seeds)
  if(F_CORPUS)
    get_filename_component(seeds ${F_CORPUS} ABSOLUTE)
  endif()
  add_test(NAME fuzz.${NAME}
    COMMAND ${NAME} -max_total_time=${BOARD_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048 ${work} ${seeds})
endfunction()
