# SPDX-License-Identifier: GPL-3.0-or-later
# Every target of the project links tavero_options: one place for warnings and sanitizers.
add_library(tavero_options INTERFACE)
target_compile_options(tavero_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wnon-virtual-dtor -Woverloaded-virtual
    -Wimplicit-fallthrough)
if(TAVERO_WERROR)
    target_compile_options(tavero_options INTERFACE -Werror)
endif()
if(TAVERO_SANITIZE)
    target_compile_options(tavero_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(tavero_options INTERFACE -fsanitize=address,undefined)
endif()
if(TAVERO_FUZZ)
    # Coverage for every library; only the fuzz targets link the fuzzer's main.
    target_compile_options(tavero_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    target_link_options(tavero_options INTERFACE -fsanitize=address,undefined)
endif()
