#include "core/layout_detect.h"

#include "core/prg_layout.h"

namespace {

bool ReadsCleanly(const unsigned char* data, std::size_t size, const PrgLayout& layout) {
    if (size < layout.headerBytes) {
        return false;
    }
    std::size_t pos = layout.headerBytes;
    while (pos < size) {
        const auto lead = static_cast<signed char>(data[pos]);
        if (lead < 1) {
            return pos + 1 == size;
        }
        if (size - pos < layout.recordBytes) {
            return false;  // the last record is cut short
        }
        pos += layout.recordBytes;
    }
    return true;
}

}  // namespace

std::vector<int> FittingLayouts(const unsigned char* data, std::size_t size) {
    std::vector<int> fitting;
    for (int format = 0; format < kListFormatCount; ++format) {
        if (ReadsCleanly(data, size, kPrgLayouts[format])) {
            fitting.push_back(format);
        }
    }
    return fitting;
}
