# GoogleTest for the Wine tests, built with MinGW from the Debian googletest sources.
set(GTEST_SRC /usr/src/googletest/googletest)
add_library(gtest_win STATIC ${GTEST_SRC}/src/gtest-all.cc)
target_include_directories(gtest_win SYSTEM PUBLIC ${GTEST_SRC}/include PRIVATE ${GTEST_SRC})
target_compile_options(gtest_win PRIVATE -w)
add_library(gtest_main_win STATIC ${GTEST_SRC}/src/gtest_main.cc)
target_include_directories(gtest_main_win SYSTEM PRIVATE ${GTEST_SRC})
target_link_libraries(gtest_main_win PUBLIC gtest_win)
