# Warnings are set per target so that third-party code is not affected.
function(nx_target_settings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -pedantic -Wnon-virtual-dtor -Woverloaded-virtual
        -Werror=return-type -Wsuggest-override)
    target_compile_definitions(${target} PRIVATE
        QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING)
endfunction()
