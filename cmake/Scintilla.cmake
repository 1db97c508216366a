# Scintilla, the editing component, as a static library so the product stays
# one executable. Its sources are not kept here: tools/setup.sh unpacks
# Debian's scite source package (version in cmake/deps.txt) into build/deps/.
# Drawn with GDI (no Direct2D), built without UNICODE like the editor, with
# its own flags: our warnings-as-errors are not for code we do not maintain.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/cmake/deps.txt")
file(STRINGS "${CMAKE_SOURCE_DIR}/cmake/deps.txt" scite_pin REGEX "^scite=")
string(REPLACE "scite=" "" QUORVANE_SCINTILLA_VERSION "${scite_pin}")
set(QUORVANE_SCINTILLA_DIR "${CMAKE_SOURCE_DIR}/build/deps/scintilla-${QUORVANE_SCINTILLA_VERSION}/scintilla")
if(NOT EXISTS "${QUORVANE_SCINTILLA_DIR}/win32/ScintillaWin.cxx")
    message(FATAL_ERROR "Scintilla ${QUORVANE_SCINTILLA_VERSION} is not in ${QUORVANE_SCINTILLA_DIR}: "
        "run tools/setup.sh, which fetches it")
endif()

file(GLOB scintilla_sources "${QUORVANE_SCINTILLA_DIR}/src/*.cxx")
list(APPEND scintilla_sources
    "${QUORVANE_SCINTILLA_DIR}/win32/HanjaDic.cxx"
    "${QUORVANE_SCINTILLA_DIR}/win32/PlatWin.cxx"
    "${QUORVANE_SCINTILLA_DIR}/win32/ScintillaWin.cxx")
add_library(scintilla STATIC ${scintilla_sources})
target_compile_features(scintilla PRIVATE cxx_std_17)
target_compile_definitions(scintilla PRIVATE DISABLE_D2D NDEBUG)
target_compile_options(scintilla PRIVATE -w)
target_include_directories(scintilla PRIVATE "${QUORVANE_SCINTILLA_DIR}/src")
# SYSTEM: the public headers are read by code built with -Werror.
target_include_directories(scintilla SYSTEM PUBLIC "${QUORVANE_SCINTILLA_DIR}/include")
target_link_libraries(scintilla PUBLIC imm32 ole32 uuid oleaut32 msimg32 gdi32 user32)
