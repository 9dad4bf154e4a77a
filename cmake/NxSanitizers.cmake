# Sanitized builds: every target, the library included, is compiled with ASan and UBSan, and
# any undefined behaviour stops the program so a test cannot pass over it.
if(NXSF_BUILD_FUZZ AND NOT NXSF_SANITIZE)
    message(FATAL_ERROR "NXSF_BUILD_FUZZ needs NXSF_SANITIZE=ON")
endif()
if(NXSF_BUILD_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "NXSF_BUILD_FUZZ needs clang (libFuzzer)")
endif()

if(NXSF_SANITIZE)
    set(NXSF_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    # Qt's own libraries are not built with -fsanitize=vptr; its check on their objects only
    # reports noise.
    list(APPEND NXSF_SANITIZER_FLAGS -fno-sanitize=vptr)
    add_compile_options(${NXSF_SANITIZER_FLAGS})
    add_link_options(${NXSF_SANITIZER_FLAGS})
    if(NXSF_BUILD_FUZZ)
        # Coverage feedback for the fuzzers comes from the library's own code; the fuzz targets
        # add the libFuzzer driver themselves.
        add_compile_options(-fsanitize=fuzzer-no-link)
    endif()
endif()
