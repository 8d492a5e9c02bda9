# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix threads,
# for std::thread). TARVO_WX_PREFIX is where wxWidgets for Windows was
# installed (scripts/windows.sh builds it).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DTARVO_WX_PREFIX=... -DTARVO_WINDOWS_ICON=.../tarvo.ico
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARVO_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TARVO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVO_MINGW}-windres)

# The toolchain file is read again for try_compile projects.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARVO_WX_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${TARVO_MINGW} ${TARVO_WX_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(TARVO_WX_PREFIX)
  set(wxWidgets_CONFIG_EXECUTABLE ${TARVO_WX_PREFIX}/bin/wx-config CACHE FILEPATH "")
endif()

# One program that needs no DLL besides Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# zlib (for the PNG pictures) linked in, not as zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
