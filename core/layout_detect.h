// Finding the layout of a PRG cut list from its bytes. The file carries no
// sign of its layout, and decoding in the wrong one silently shows nonsense;
// what can be told is in which layouts the bytes read cleanly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/prg_layout.h"

class CFile;

// Learns in which layouts a file reads cleanly from its bytes, handed over in
// pieces in file order, so a file of any size is checked without holding it.
class LayoutCheck {
public:
    LayoutCheck();
    void Feed(const unsigned char* data, std::size_t size);
    // The layouts (ListFormat values, ascending) in which the bytes fed so
    // far read cleanly: the header is whole, every record is whole, and the
    // list ends exactly at the end of the data or at a lead byte that ends
    // the list and is the data's last byte.
    std::vector<int> Fitting() const;

private:
    struct Walk {
        std::uint64_t nextLead = 0;  // offset of the next lead byte
        bool ended = false;          // a lead byte ended the list at nextLead
    };
    Walk m_walks[kListFormatCount];
    std::uint64_t m_size = 0;
};

// The layouts in which data reads cleanly, as LayoutCheck::Fitting gives them.
std::vector<int> FittingLayouts(const unsigned char* data, std::size_t size);

// The same for the rest of file, read to its end. Throws CFileException when
// the operating system refuses a read.
std::vector<int> FittingLayouts(CFile& file);

// The advice after a load in the layout used: the one other layout that reads
// cleanly when used does not (given the layouts that fit). -1 when used reads
// cleanly, or when no other layout or more than one does (a damaged or
// truncated file: nothing can be told).
int AdvisedLayout(const std::vector<int>& fitting, int used);
int AdvisedLayout(const unsigned char* data, std::size_t size, int used);

// The advice for the file at path, read again from the start. -1 as well when
// it cannot be opened (the load has said what there is to say). Throws
// CFileException when the operating system refuses a read.
int AdvisedLayoutForFile(const std::string& path, int used);
