# Cross-build for Windows with mingw-w64, for the CMAKE_SYSTEM_PROCESSOR the including toolchain
# file sets. The -posix variant is needed by GoogleTest (std::mutex); the product links statically
# either way.
set(CMAKE_SYSTEM_NAME Windows)
set(VELTRA_MINGW_TRIPLET ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${VELTRA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELTRA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELTRA_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELTRA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
