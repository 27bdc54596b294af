# One INTERFACE target carries the language standard, the warnings and the Qt defines
# that every target of the project shares.
add_library(mirda_options INTERFACE)
target_compile_features(mirda_options INTERFACE cxx_std_20)
target_compile_options(mirda_options INTERFACE -Wall -Wextra)
if(MIRDA_WERROR)
    target_compile_options(mirda_options INTERFACE -Werror)
endif()
target_compile_definitions(mirda_options INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_URL_CAST_FROM_STRING)
if(MIRDA_SANITIZE)
    target_compile_options(mirda_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                   -fno-sanitize-recover=undefined)
    target_link_options(mirda_options INTERFACE -fsanitize=address,undefined)
endif()
if(MIRDA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "MIRDA_FUZZ needs clang (libFuzzer): -DCMAKE_CXX_COMPILER=clang++")
    endif()
    # Everything is instrumented for coverage and checked by ASan + UBSan; only the fuzz targets
    # link libFuzzer's main.
    target_compile_options(mirda_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                   -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(mirda_options INTERFACE -fsanitize=address,undefined)
endif()
