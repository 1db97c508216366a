# cmake -DIMAGE=<file.exe> -P CheckLargeAddressAware.cmake
# Fails unless the PE image's file header has IMAGE_FILE_LARGE_ADDRESS_AWARE.

# Reads count bytes at offset as a little-endian number.
function(read_le out offset count)
    file(READ "${IMAGE}" bytes OFFSET ${offset} LIMIT ${count} HEX)
    set(value "")
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last})
        math(EXPR at "${i} * 2")
        string(SUBSTRING "${bytes}" ${at} 2 byte)
        string(PREPEND value "${byte}")
    endforeach()
    math(EXPR value "0x${value}")
    set(${out} ${value} PARENT_SCOPE)
endfunction()

read_le(header 60 4) # e_lfanew: where the "PE\0\0" signature is
read_le(signature ${header} 4)
if(NOT signature EQUAL 17744) # "PE\0\0"
    message(FATAL_ERROR "${IMAGE}: not a PE image")
endif()
math(EXPR characteristicsAt "${header} + 4 + 18")
read_le(characteristics ${characteristicsAt} 2)
math(EXPR largeAddressAware "${characteristics} & 0x0020")
if(largeAddressAware EQUAL 0)
    message(FATAL_ERROR "${IMAGE} is not marked large-address-aware")
endif()
