# Native (Linux) build: the artwork generator and the unit tests of the Win32-free logic,
# with AddressSanitizer and UndefinedBehaviorSanitizer; or, with VELTRA_FUZZ in a clang-built
# tree, the decoders' fuzzers instead.
option(VELTRA_FUZZ "Build the libFuzzer targets (needs clang) instead of the unit tests" OFF)
option(VELTRA_SANITIZE "Build with ASan and UBSan" ON)
if(VELTRA_FUZZ)
    # Only the program's own code is instrumented; libjpeg-turbo is Debian's build.
    add_compile_options(-g -O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
elseif(VELTRA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

# The JPEG and TIFF decoders' and the colour conversion's natively tested side links Debian's
# builds of the same libjpeg-turbo, libtiff and Little CMS releases.
find_package(JPEG REQUIRED)
find_package(TIFF REQUIRED)
find_library(LCMS2_LIBRARY lcms2 REQUIRED)
find_path(LCMS2_INCLUDE_DIR lcms2.h REQUIRED)
add_library(veltra_portable STATIC ${VELTRA_PORTABLE_SOURCES})
target_include_directories(veltra_portable PUBLIC ${CMAKE_SOURCE_DIR})
target_include_directories(veltra_portable SYSTEM PUBLIC ${LCMS2_INCLUDE_DIR})
target_link_libraries(veltra_portable PUBLIC TIFF::TIFF JPEG::JPEG ${LCMS2_LIBRARY})

if(VELTRA_FUZZ)
    add_subdirectory(tests/fuzz)
    return()
endif()

add_subdirectory(tools/artwork)

# Pictures too large for ImageMagick, for the end-to-end tests and the benchmarks.
add_executable(veltra-big-picture tests/fixtures/big_picture.cpp)
target_link_libraries(veltra-big-picture PRIVATE TIFF::TIFF)

include(cmake/googletest.cmake)

file(GLOB VELTRA_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
add_executable(veltra_unit_tests ${VELTRA_UNIT_TESTS} tests/unit/test_paths.cpp)
target_compile_definitions(veltra_unit_tests PRIVATE
    VELTRA_FIXTURES_DIR="${CMAKE_BINARY_DIR}/fixtures"
    VELTRA_FUZZ_CORPUS_DIR="${CMAKE_SOURCE_DIR}/tests/fuzz/corpus"
    VELTRA_HELP_RTF_PATH="${CMAKE_SOURCE_DIR}/resources/help.rtf")
target_link_libraries(veltra_unit_tests PRIVATE veltra_portable veltra_artwork_lib GTest::gtest_main)

enable_testing()
include(GoogleTest)
# The decoder fixtures are made by ImageMagick once per build tree, before any test runs.
add_test(NAME make_decoder_fixtures
         COMMAND ${CMAKE_SOURCE_DIR}/tests/fixtures/make_decoder_fixtures.sh ${CMAKE_BINARY_DIR}/fixtures)
set_tests_properties(make_decoder_fixtures PROPERTIES FIXTURES_SETUP decoder_fixtures)
gtest_discover_tests(veltra_unit_tests
    PROPERTIES FIXTURES_REQUIRED decoder_fixtures
    DISCOVERY_TIMEOUT 60)
