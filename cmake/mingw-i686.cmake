# Cross build of the Windows module and kadrelle.exe with Debian's mingw-w64
# toolchain for 32-bit x86:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
#         -DKADRELLE_RCGEN=build/resources/rcgen
# (scripts/windows does all of this.)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KADRELLE_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KADRELLE_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${KADRELLE_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${KADRELLE_MINGW_PREFIX}-windres)

# Look for libraries and packages of the target only; programs of this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KADRELLE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# 32-bit float arithmetic in SSE2 registers, never the x87's extended
# precision, so that it gives the same bits as the 64-bit Linux build.
# The C library's own printf family (exact decimal conversion), not msvcrt's.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -D__USE_MINGW_ANSI_STDIO=1")

# No runtime DLL beyond the system's: libgcc and libstdc++ linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
