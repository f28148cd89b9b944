# GoogleTest from Debian's sources (package googletest), built with the project's compiler,
# so the same tests run natively and, cross-compiled, under Wine.
set(TIRN_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
add_library(gtest STATIC ${TIRN_GTEST_SOURCE}/src/gtest-all.cc)
target_include_directories(gtest SYSTEM PUBLIC ${TIRN_GTEST_SOURCE}/include PRIVATE ${TIRN_GTEST_SOURCE})
target_compile_options(gtest PRIVATE -w)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(gtest PUBLIC Threads::Threads)
endif()
add_library(gtest_main STATIC ${TIRN_GTEST_SOURCE}/src/gtest_main.cc)
target_link_libraries(gtest_main PUBLIC gtest)
target_compile_options(gtest_main PRIVATE -w)
