# PCRE2, the regular-expression engine, as static libraries (8- and 16-bit
# code units, with JIT) built by its own CMake project. Its sources are not
# kept here: tools/setup.sh unpacks Debian's pcre2 source package (version in
# cmake/deps.txt) into build/deps/. Only the libraries are built: no
# pcre2grep, no tests, nothing linked against compression or line editing.
file(STRINGS "${CMAKE_SOURCE_DIR}/cmake/deps.txt" pcre2_pin REGEX "^pcre2=")
string(REPLACE "pcre2=" "" QUORVANE_PCRE2_VERSION "${pcre2_pin}")
string(REGEX REPLACE "-[^-]*$" "" pcre2_upstream "${QUORVANE_PCRE2_VERSION}")
set(QUORVANE_PCRE2_DIR "${CMAKE_SOURCE_DIR}/build/deps/pcre2-${QUORVANE_PCRE2_VERSION}/pcre2-${pcre2_upstream}")
if(NOT EXISTS "${QUORVANE_PCRE2_DIR}/src/pcre2_jit_compile.c")
    message(FATAL_ERROR "PCRE2 ${QUORVANE_PCRE2_VERSION} is not in ${QUORVANE_PCRE2_DIR}: "
        "run tools/setup.sh, which fetches it")
endif()

foreach(option BUILD_STATIC_LIBS PCRE2_BUILD_PCRE2_8 PCRE2_BUILD_PCRE2_16 PCRE2_SUPPORT_JIT PCRE2_SUPPORT_UNICODE)
    set(${option} ON CACHE BOOL "" FORCE)
endforeach()
foreach(option BUILD_SHARED_LIBS PCRE2_BUILD_PCRE2_32 PCRE2_BUILD_PCRE2GREP PCRE2_BUILD_TESTS
               PCRE2_SUPPORT_LIBZ PCRE2_SUPPORT_LIBBZ2 PCRE2_SUPPORT_LIBEDIT PCRE2_SUPPORT_LIBREADLINE)
    set(${option} OFF CACHE BOOL "" FORCE)
endforeach()
add_subdirectory("${QUORVANE_PCRE2_DIR}" "${CMAKE_BINARY_DIR}/pcre2" EXCLUDE_FROM_ALL)
# Our warnings-as-errors are not for code we do not maintain.
foreach(target pcre2-8-static pcre2-16-static)
    target_compile_options(${target} PRIVATE -w)
endforeach()
