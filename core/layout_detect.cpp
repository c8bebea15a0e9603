#include "core/layout_detect.h"

#include "platform/file.h"

LayoutCheck::LayoutCheck() {
    for (int format = 0; format < kListFormatCount; ++format) {
        m_walks[format].nextLead = kPrgLayouts[format].headerBytes;
    }
}

void LayoutCheck::Feed(const unsigned char* data, std::size_t size) {
    const std::uint64_t end = m_size + size;
    for (int format = 0; format < kListFormatCount; ++format) {
        Walk& walk = m_walks[format];
        while (!walk.ended && walk.nextLead < end) {
            const auto lead = static_cast<signed char>(data[walk.nextLead - m_size]);
            if (lead < 1) {
                walk.ended = true;
            } else {
                walk.nextLead += kPrgLayouts[format].recordBytes;
            }
        }
    }
    m_size = end;
}

std::vector<int> LayoutCheck::Fitting() const {
    std::vector<int> fitting;
    for (int format = 0; format < kListFormatCount; ++format) {
        const Walk& walk = m_walks[format];
        // A list ended by its lead byte must end the data there; one without
        // such a byte must end with a whole record (or the header).
        if (walk.ended ? walk.nextLead + 1 == m_size : walk.nextLead == m_size) {
            fitting.push_back(format);
        }
    }
    return fitting;
}

std::vector<int> FittingLayouts(const unsigned char* data, std::size_t size) {
    LayoutCheck check;
    check.Feed(data, size);
    return check.Fitting();
}

std::vector<int> FittingLayouts(CFile& file) {
    LayoutCheck check;
    std::vector<unsigned char> chunk(CFile::kBufferSize);
    for (std::size_t got; (got = file.Read(chunk.data(), chunk.size())) != 0;) {
        check.Feed(chunk.data(), got);
    }
    return check.Fitting();
}

int AdvisedLayout(const std::vector<int>& fitting, int used) {
    // Any other value reads as the headerless layout (LayoutOf).
    if (used != kFormatNew && used != kFormatMem) {
        used = kFormatOld;
    }
    if (fitting.size() != 1 || fitting.front() == used) {
        // Either used fits, or it does not and no other or several others do.
        return -1;
    }
    return fitting.front();
}

int AdvisedLayout(const unsigned char* data, std::size_t size, int used) {
    return AdvisedLayout(FittingLayouts(data, size), used);
}

int AdvisedLayoutForFile(const std::string& path, int used) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary)) {
        return -1;
    }
    const std::vector<int> fitting = FittingLayouts(file);
    file.Close();
    return AdvisedLayout(fitting, used);
}
