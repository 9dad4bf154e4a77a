# SPDX-FileCopyrightText: 2026 NxSerialFilter developers
# SPDX-License-Identifier: MIT
# Fails when a binary that must stay below the widgets layer loads Qt Gui or Qt Widgets (or,
# for NO_SQL, Qt Sql), directly or through another library.
function(check_binaries binaries pattern)
    foreach(binary ${binaries})
        execute_process(COMMAND ldd ${binary} OUTPUT_VARIABLE loaded RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "ldd ${binary} failed")
        endif()
        if(loaded MATCHES "${pattern}")
            message(FATAL_ERROR "${binary} loads ${CMAKE_MATCH_0}:\n${loaded}")
        endif()
        message(STATUS "${binary}: no ${pattern}")
    endforeach()
endfunction()

check_binaries("${NO_GUI}" "libQt6(Gui|Widgets)[^ ]*")
check_binaries("${NO_SQL}" "libQt6Sql[^ ]*")
