# Toolchain file for 64-bit Windows: a build check that keeps the code 64-bit clean.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
