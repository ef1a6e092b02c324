# Compiler settings shared by every target of the project.
option(VBU_WERROR "Treat compiler warnings as errors (the test command turns it on)" OFF)

add_library(vbu_options INTERFACE)
target_compile_options(vbu_options INTERFACE
    -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual
    -Wshadow -Wold-style-cast -Wcast-qual
    $<$<BOOL:${VBU_WERROR}>:-Werror>)
target_compile_definitions(vbu_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_USE_QSTRINGBUILDER
    QT_STRICT_ITERATORS
    QT_DISABLE_DEPRECATED_BEFORE=0x060400)

if(VBU_SANITIZE)
    # Applied to everything, so no object without instrumentation links in.
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(VBU_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "VBU_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
    endif()
    # Coverage for the libraries; the fuzz executables add the libFuzzer main.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
