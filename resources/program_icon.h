// The program icon as PNG images, one per size, drawn at build time from the
// vector icon packaging/icons/treskviewer.svg (resources/CMakeLists.txt).
#pragma once

#include <span>

std::span<const std::span<const unsigned char>> ProgramIconPngs();
