# Writes the C++ source that carries the program icon's PNG images in the
# executable, for a back end that sets the window icon from memory:
#   cmake -DOUTPUT=program_icon.cpp -P embed_icon.cmake IMAGE.png...
# Each image becomes a byte array; ProgramIconPngs() lists them in the order
# given, or none when no image is given.
set(arrays "")
set(spans "")
# Sixteen bytes a line (CMake's expressions have no counted repeat).
string(REPEAT "0x..," 16 row)
# The images are the arguments after the script's name.
set(first 0)
while(NOT CMAKE_ARGV${first} STREQUAL "-P")
  math(EXPR first "${first} + 1")
endwhile()
math(EXPR first "${first} + 2")
math(EXPR last "${CMAKE_ARGC} - 1")
set(i ${first})
while(i LESS_EQUAL last)
  set(png ${CMAKE_ARGV${i}})
  get_filename_component(name ${png} NAME_WE)
  file(READ ${png} bytes HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  string(REGEX REPLACE "(${row})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "const unsigned char k_${name}[] = {\n    ${bytes}\n};\n")
  string(APPEND spans "    k_${name},\n")
  math(EXPR i "${i} + 1")
endwhile()
if(spans STREQUAL "")
  set(images "")
  set(result "{}")
else()
  set(images "const std::span<const unsigned char> kImages[] = {\n${spans}};\n")
  set(result "kImages")
endif()
file(WRITE ${OUTPUT}.tmp
"// Made by resources/embed_icon.cmake from the icon images drawn at build time.
#include \"resources/program_icon.h\"

namespace {
${arrays}${images}}  // namespace

std::span<const std::span<const unsigned char>> ProgramIconPngs() {
    return ${result};
}
")
# Unchanged bytes keep the file's time, so nothing recompiles needlessly.
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
