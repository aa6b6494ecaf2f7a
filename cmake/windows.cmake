# Cross-build of the Windows program, its end-to-end tests and its benchmarks.
# Sizes are worked out in doubles (FitPicture) and must come out as the rule and the 64-bit build
# give them. The x87 unit, which mingw's 32-bit runtime leaves at extended precision, truncates
# some whole quotients one off (512 / (512 / 240.0) gives 239). SSE2 arithmetic is IEEE double in
# every thread, with no control word to set at start-up or in a thread that decodes ahead.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_compile_options(-msse2 -mfpmath=sse)
endif()
# VELTRA_ARTWORK_TOOL is the native artwork generator; the resources are made from its output.
set(VELTRA_ARTWORK_TOOL "" CACHE FILEPATH "Native veltra-artwork executable")
# The libraries tools/third_party.sh built static for this target, each in
# VELTRA_THIRD_PARTY_DIR/LIBRARY-TARGET with include/ and lib/; or all of them in one prefix
# VELTRA_THIRD_PARTY_DIR, as MSYS2 installs them, with whatever else its libtiff was built with in
# VELTRA_THIRD_PARTY_EXTRA_LIBS.
set(VELTRA_THIRD_PARTY_DIR "" CACHE PATH "tools/third_party.sh's build folder, or one prefix of them all")
set(VELTRA_THIRD_PARTY_EXTRA_LIBS "" CACHE STRING "Libraries a prebuilt static libtiff needs besides JPEG and zlib")
# veltra_third_party(TARGET LIBRARY FILE [DEPENDENCIES...])
function(veltra_third_party name library file)
    set(prefix ${VELTRA_THIRD_PARTY_DIR}/${library}-${CMAKE_SYSTEM_PROCESSOR})
    if(NOT EXISTS ${prefix}/lib/${file})
        set(prefix ${VELTRA_THIRD_PARTY_DIR})
    endif()
    if(NOT EXISTS ${prefix}/lib/${file})
        message(FATAL_ERROR "No ${library} in ${VELTRA_THIRD_PARTY_DIR}: set VELTRA_THIRD_PARTY_DIR to the folder "
                            "tools/third_party.sh builds into")
    endif()
    add_library(${name} STATIC IMPORTED)
    set_target_properties(${name} PROPERTIES
        IMPORTED_LOCATION ${prefix}/lib/${file}
        INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include
        INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()
veltra_third_party(libjpeg_turbo libjpeg-turbo libjpeg.a)
veltra_third_party(zlib zlib libz.a)
veltra_third_party(libtiff tiff libtiff.a libjpeg_turbo zlib ${VELTRA_THIRD_PARTY_EXTRA_LIBS})
option(VELTRA_BUILD_TESTS "Build the end-to-end tests and benchmarks" ON)
if(NOT VELTRA_ARTWORK_TOOL)
    if(CMAKE_CROSSCOMPILING)
        message(FATAL_ERROR "Set VELTRA_ARTWORK_TOOL to the native veltra-artwork executable")
    endif()
    # Building on Windows itself: the generator runs on the build machine like any other tool.
    add_subdirectory(tools/artwork)
    set(VELTRA_ARTWORK_TOOL $<TARGET_FILE:veltra-artwork>)
    set(VELTRA_ARTWORK_DEPENDENCY veltra-artwork)
else()
    set(VELTRA_ARTWORK_DEPENDENCY ${VELTRA_ARTWORK_TOOL})
endif()

# The generator names its files (app/layout.h); the build only needs to know when it has run.
set(ARTWORK_DIR ${CMAKE_BINARY_DIR}/artwork)
set(ARTWORK_STAMP ${ARTWORK_DIR}/artwork.stamp)
add_custom_command(OUTPUT ${ARTWORK_STAMP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ARTWORK_DIR}
    COMMAND ${VELTRA_ARTWORK_TOOL} ${ARTWORK_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${ARTWORK_STAMP}
    DEPENDS ${VELTRA_ARTWORK_DEPENDENCY}
    COMMENT "Drawing the skin, buttons and icon")

set(VERSION_HEADER_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/resources/version.h.in ${VERSION_HEADER_DIR}/version.h @ONLY)

set(RESOURCE_OBJECT ${CMAKE_BINARY_DIR}/veltra_resources.o)
add_custom_command(OUTPUT ${RESOURCE_OBJECT}
    COMMAND ${CMAKE_RC_COMPILER} -I ${ARTWORK_DIR} -I ${CMAKE_SOURCE_DIR}/resources -I ${VERSION_HEADER_DIR}
            -i ${CMAKE_SOURCE_DIR}/resources/veltra.rc -o ${RESOURCE_OBJECT}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/resources
    DEPENDS ${ARTWORK_STAMP} ${CMAKE_SOURCE_DIR}/resources/veltra.rc ${CMAKE_SOURCE_DIR}/resources/resource_ids.h
            ${CMAKE_SOURCE_DIR}/resources/help.rtf ${CMAKE_SOURCE_DIR}/resources/release.rc
            ${CMAKE_SOURCE_DIR}/resources/veltra.manifest ${VERSION_HEADER_DIR}/version.h
    COMMENT "Compiling resources")

add_library(veltra_core STATIC
    ${VELTRA_PORTABLE_SOURCES}
    app/state.cpp
    app/dialog_launch.cpp
    catalogue/folder_listing.cpp
)
target_include_directories(veltra_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(veltra_core PUBLIC _WIN32_WINNT=0x0600 WINVER=0x0600)
target_link_libraries(veltra_core PUBLIC libtiff libjpeg_turbo gdiplus user32 gdi32)

add_executable(veltra WIN32
    app/main.cpp
    app/main_window.cpp
    app/painting.cpp
    pictures/file_reading.cpp
    catalogue/picture_loading.cpp
    catalogue/decode_ahead.cpp
    pictures/picture_fitting.cpp
    pictures/no_encoders.cpp
    catalogue/companion_sound.cpp
    catalogue/wide_sound_file.cpp
    catalogue/folder_browser.cpp
    views/full_screen.cpp
    views/slide_show.cpp
    views/test_screen.cpp
    views/display_awareness.cpp
    about/about_box.cpp
    ${RESOURCE_OBJECT}
)
target_link_libraries(veltra PRIVATE veltra_core winmm comctl32 shell32 ole32 uuid)
# No link time in the PE header: the same sources give the same exe, and the release zips the same bytes.
target_link_options(veltra PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
# A 32-bit process on 64-bit Windows then has 4 GB of address space instead of 2: room for the
# coefficients of the largest progressive JPEGs.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(veltra PRIVATE -Wl,--large-address-aware)
endif()

if(VELTRA_BUILD_TESTS)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    include(cmake/googletest.cmake)
    # The size arithmetic's and the PSD colour modes' unit tests again, built as the program is and
    # run under Wine (tools/run_i686_unit_tests.sh): floating point is where the two builds could part.
    add_executable(veltra_size_tests tests/unit/fit_picture_test.cpp tests/unit/area_filter_test.cpp
                                     tests/unit/psd_colour_modes_test.cpp)
    target_link_libraries(veltra_size_tests PRIVATE veltra_core GTest::gtest_main)
    target_link_options(veltra_size_tests PRIVATE -static -static-libgcc -static-libstdc++)
    add_subdirectory(tests/e2e)
    add_subdirectory(bench)
endif()
