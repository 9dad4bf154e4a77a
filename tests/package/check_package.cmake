# SPDX-FileCopyrightText: 2026 NxSerialFilter developers
# SPDX-License-Identifier: MIT
# Installs the library into a scratch prefix (not a system directory), builds a host against
# the installed package alone and runs it without LD_LIBRARY_PATH: the installed layers find
# each other. Outside a developer build the installed libraries export no class kept for the
# tests. Arguments: BUILD_DIR, SOURCE_DIR, WORK_DIR, PROJECT_DIR, DEVELOPER.
file(REMOVE_RECURSE ${WORK_DIR})
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${ARGN}\n${out}\n${err}")
    endif()
endfunction()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
if(NOT DEVELOPER)
    file(GLOB_RECURSE headers ${PROJECT_DIR}/src/*.h)
    set(test_only "")
    foreach(header ${headers})
        file(STRINGS ${header} declared REGEX "class [A-Z_]+_AUTOTEST_EXPORT [A-Za-z_]+")
        foreach(line ${declared})
            string(REGEX REPLACE ".*_AUTOTEST_EXPORT ([A-Za-z_]+).*" "\\1" name "${line}")
            list(APPEND test_only ${name})
        endforeach()
    endforeach()
    list(JOIN test_only "|" pattern)
    file(GLOB libraries ${WORK_DIR}/prefix/lib*/libnxserialfilter*.so ${WORK_DIR}/prefix/lib*/*/libnxserialfilter*.so)
    foreach(library ${libraries})
        execute_process(COMMAND nm -DC --defined-only ${library} OUTPUT_VARIABLE symbols)
        if(pattern AND symbols MATCHES "NxSerialFilter::(${pattern})::")
            message(FATAL_ERROR "${library} exports ${CMAKE_MATCH_0}, kept for the tests")
        endif()
    endforeach()
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/host -G Ninja
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host)
run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen
    ${WORK_DIR}/host/consumer)
run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${WORK_DIR}/host/batch)
execute_process(COMMAND ldd ${WORK_DIR}/host/batch OUTPUT_VARIABLE loaded)
if(loaded MATCHES "libQt6(Gui|Widgets)")
    message(FATAL_ERROR "a batch program on the store loads ${CMAKE_MATCH_0}")
endif()
