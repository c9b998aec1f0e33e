# Compiler settings shared by every target of the tree.

add_compile_options(-Wall -Wextra -Wshadow)
if(GAMES_WERROR)
    add_compile_options(-Werror)
endif()

if(GAMES_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Programs find their shared libraries beside themselves, so a run folder can be moved as a whole.
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
set(CMAKE_BUILD_RPATH "$ORIGIN")
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# The fuzz build instruments everything for coverage; only the fuzz programs link libFuzzer's main.
if(GAMES_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
