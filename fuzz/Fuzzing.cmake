# Fuzzing: with -DTAVRIN_FUZZ=ON (clang only) every library is built for libFuzzer's coverage
# with AddressSanitizer and UndefinedBehaviorSanitizer, and fuzz/ builds one program per target.
# scripts/fuzz.sh does all of it in build-fuzz/.
option(TAVRIN_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(TAVRIN_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TAVRIN_FUZZ needs clang: CXX=clang++-14 (scripts/fuzz.sh sets it)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()
