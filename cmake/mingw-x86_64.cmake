# The product's 64-bit twin, used to run the tests on machines whose kernel
# cannot execute 32-bit code (and so cannot run 32-bit Wine). Same sources.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUORVANE_TRIPLE x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
