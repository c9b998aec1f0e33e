# Every library here comes from Debian's packages; scripts/setup.sh installs them.

find_package(SDL2 REQUIRED CONFIG)
find_package(SDL2_mixer REQUIRED CONFIG)
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)

# libmspack and LAME ship no CMake package, only pkg-config files; libpng is taken the same way.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MSPACK REQUIRED IMPORTED_TARGET libmspack)
pkg_check_modules(LAME REQUIRED IMPORTED_TARGET lame)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)

set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
if(NOT TARGET OpenGL::GLU)
    message(FATAL_ERROR "GLU was not found: run scripts/setup.sh")
endif()

# DejaVu Sans Bold: the Game's font, and the lettering painted into its title art.
find_file(GAME_FONT_FILE DejaVuSans-Bold.ttf PATHS /usr/share/fonts/truetype/dejavu REQUIRED
    NO_DEFAULT_PATH)

find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
include(GoogleTest)
