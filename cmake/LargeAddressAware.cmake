# A 32-bit program marked large-address-aware gets 4 GB of address space on
# 64-bit Windows instead of 2 GB: room for a large document and its copies.
# The mark is checked on every build, so a lost linker flag fails the build.
function(quorvane_large_address_aware target)
    if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
        return()
    endif()
    target_link_options(${target} PRIVATE "-Wl,--large-address-aware")
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND "${CMAKE_COMMAND}" "-DIMAGE=$<TARGET_FILE:${target}>"
                -P "${CMAKE_SOURCE_DIR}/cmake/CheckLargeAddressAware.cmake"
        VERBATIM)
endfunction()
