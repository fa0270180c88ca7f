# Cross compilation for 64-bit Windows with Debian's MinGW-w64 packages.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The compilers with POSIX threads: the saver reads photos on a thread of
# the standard library's. Linked statically, the thread library adds no DLL.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# libjpeg-turbo built for Windows into the build tree (scripts/lib/common.sh).
if(ORVANEL_MINGW_JPEG)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ORVANEL_MINGW_JPEG})
endif()

# libpng built for Windows the same way.
if(ORVANEL_MINGW_PNG)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ORVANEL_MINGW_PNG})
endif()

# libwebp built for Windows the same way.
if(ORVANEL_MINGW_WEBP)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ORVANEL_MINGW_WEBP})
endif()

# Little CMS built for Windows from its sources by cmake/lcms2.
if(ORVANEL_MINGW_LCMS2)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ORVANEL_MINGW_LCMS2})
endif()

# Google Benchmark built for Windows into the build tree (scripts/bench).
if(ORVANEL_MINGW_BENCHMARK)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ORVANEL_MINGW_BENCHMARK})
endif()
