# The cross compiler with POSIX threads, for programs that need std::thread
# (the Windows benchmarks); the shipped saver uses the plain one.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)

# Google Benchmark built for Windows into the build tree (scripts/bench).
if(ORVANEL_MINGW_BENCHMARK)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ORVANEL_MINGW_BENCHMARK})
endif()
