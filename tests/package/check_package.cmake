# SPDX-FileCopyrightText: 2026 NxSerialFilter developers
# SPDX-License-Identifier: MIT
# Installs the library into a scratch prefix, builds a host against the installed package
# alone and runs it. Arguments: BUILD_DIR, SOURCE_DIR, WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${ARGN}\n${out}\n${err}")
    endif()
endfunction()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/host -G Ninja
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host)
run(${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
    LD_LIBRARY_PATH=${WORK_DIR}/prefix/lib:${WORK_DIR}/prefix/lib/x86_64-linux-gnu
    ${WORK_DIR}/host/consumer)
run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${WORK_DIR}/prefix/lib:${WORK_DIR}/prefix/lib/x86_64-linux-gnu
    ${WORK_DIR}/host/batch)
execute_process(COMMAND ldd ${WORK_DIR}/host/batch OUTPUT_VARIABLE loaded)
if(loaded MATCHES "libQt6(Gui|Widgets)")
    message(FATAL_ERROR "a batch program on the store loads ${CMAKE_MATCH_0}")
endif()
