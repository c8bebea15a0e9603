#include "core/layout_detect.h"

#include "core/prg_reader.h"

namespace {

bool ReadsCleanly(const unsigned char* data, std::size_t size, int format) {
    const std::size_t header = format == kFormatOld ? 0 : 3;
    // Lead byte and body: the blade values only outside the "Mem" layout.
    const std::size_t record = format == kFormatMem ? 50 : 54;
    if (size < header) {
        return false;
    }
    std::size_t pos = header;
    while (pos < size) {
        const auto lead = static_cast<signed char>(data[pos]);
        if (lead < 1) {
            return pos + 1 == size;
        }
        if (size - pos < record) {
            return false;  // the last record is cut short
        }
        pos += record;
    }
    return true;
}

}  // namespace

std::vector<int> FittingLayouts(const unsigned char* data, std::size_t size) {
    std::vector<int> fitting;
    for (const int format : {kFormatNew, kFormatOld, kFormatMem}) {
        if (ReadsCleanly(data, size, format)) {
            fitting.push_back(format);
        }
    }
    return fitting;
}

int DetectLayout(const unsigned char* data, std::size_t size) {
    const std::vector<int> fitting = FittingLayouts(data, size);
    return fitting.size() == 1 ? fitting.front() : -1;
}
