# Compile settings shared by every target of the project (not by GoogleTest):
# UTF-8 sources turned into code page 932 narrow literals, no UNICODE, and
# warnings treated as errors so the tree stays -Wall -Wextra clean.
function(quorvane_options target)
    target_compile_features(${target} PRIVATE cxx_std_17)
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:CXX,C>:-finput-charset=UTF-8 -fexec-charset=CP932 -Wall -Wextra -Werror>)
    target_compile_definitions(${target} PRIVATE
        _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0601 STRICT)
endfunction()
