# GoogleTest from source, so the same version builds natively and for Windows.
set(GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(EXISTS "${GTEST_SOURCE_DIR}/CMakeLists.txt")
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  include(FetchContent)
  FetchContent_Declare(googletest
    URL https://github.com/google/googletest/archive/refs/tags/v1.12.1.tar.gz)
  FetchContent_MakeAvailable(googletest)
endif()
# Our warnings are not GoogleTest's business.
foreach(t gtest gtest_main)
  if(TARGET ${t})
    target_compile_options(${t} PRIVATE $<$<CXX_COMPILER_ID:GNU,Clang>:-w>)
  endif()
endforeach()
