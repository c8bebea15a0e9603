#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/cut_rows.h"
#include "core/layout_detect.h"
#include "core/prg_reader.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "tests/support/os_errors.h"
#include "tests/support/temp_files.h"

namespace {

using tresk::test::Append;
using tresk::test::AppendI16;
using tresk::test::AppendRecord;
using tresk::test::AppendText8;
using tresk::test::AppendU24;
using tresk::test::Bytes;
using tresk::test::RecordFields;
using tresk::test::TempDir;

std::vector<std::string> Row(const MemoryCutRowTable& table, int row) {
    std::vector<std::string> cells;
    cells.reserve(13);
    for (int column = 0; column < 13; ++column) {
        cells.push_back(table.GetCellText(row, column));
    }
    return cells;
}

class PrgReader : public ::testing::Test {
protected:
    // Loads bytes as the given layout into table_.
    void Load(const Bytes& bytes, int format) {
        LoadCutList(dir_.Write("list.PRG", bytes), format, table_);
    }

    TempDir dir_;
    MemoryCutRowTable table_;
};

// The example record in the "Mem" layout: every field a distinct value.
Bytes MemExample() {
    Bytes b;
    Append(b, {0x01, 0x02, 0x03});  // header, ignored
    Append(b, {0x01});              // lead byte
    Append(b, {0x00, 0x01, 0xF4});  // L.Display = 500
    Append(b, {0x53, 0x00, 0x0A});  // 'S' mark, value 10
    Append(b, {0x01, 0xC2});        // Sx = 450 tenths
    Append(b, {0xFF, 0x38});        // Dx = -200 tenths
    Append(b, {0x00, 0x05});        // Pezzi = 5
    Append(b, {0x00, 0x0C});        // Spessore = 12
    AppendText8(b, "INFO-ONE");
    AppendText8(b, "BC000002");
    AppendText8(b, "bc3");
    AppendText8(b, "Info4");
    Append(b, {'T', 'L', 'X'});  // closing field, never shown
    Append(b, {0x00});           // end of list
    return b;
}

TEST_F(PrgReader, MemLayoutExampleGivesOneExactRow) {
    Load(MemExample(), kFormatMem);
    ASSERT_EQ(table_.GetItemCount(), 1);
    const std::vector<std::string> expected = {"1",     "500", "S10",      "45.0",     "-20.0",
                                               "5",     "12",  "INFO-ONE", "BC000002", "bc3",
                                               "Info4", "0.0", "0.0"};
    EXPECT_EQ(Row(table_, 0), expected);
}

// Decoding from memory must give what decoding the file gives, whatever the
// layout and wherever the bytes end.
TEST_F(PrgReader, AMemoryFileDecodesExactlyAsTheFile) {
    Bytes bytes = MemExample();
    bytes.pop_back();  // no end byte: records follow
    RecordFields record;
    record.second = 0x53012C;
    record.info[0] = "PANNELLO";
    AppendRecord(bytes, record, true);
    AppendRecord(bytes, record, false);
    for (const int format : {kFormatNew, kFormatOld, kFormatMem}) {
        for (std::size_t size = 0; size <= bytes.size(); ++size) {
            SCOPED_TRACE("layout " + std::to_string(format) + ", " + std::to_string(size) +
                         " bytes");
            const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<long>(size));
            Load(prefix, format);
            MemoryCutRowTable fromMemory;
            CMemFile memory(prefix.data(), prefix.size());
            ReadCutList(memory, format, fromMemory);
            ASSERT_EQ(fromMemory.GetItemCount(), table_.GetItemCount());
            for (int row = 0; row < table_.GetItemCount(); ++row) {
                EXPECT_EQ(Row(fromMemory, row), Row(table_, row));
            }
        }
    }
}

TEST(LayoutDetection, OnlyLayoutsInWhichTheBytesReadCleanlyFit) {
    const auto fitting = [](const Bytes& bytes) {
        return FittingLayouts(bytes.data(), bytes.size());
    };
    Bytes mem = MemExample();
    // Its header 01 02 03 also starts one whole record of the headerless
    // layout, ending exactly at the end.
    EXPECT_EQ(fitting(mem), (std::vector<int>{kFormatOld, kFormatMem}));
    mem[0] = 0x00;
    EXPECT_EQ(fitting(mem), std::vector<int>{kFormatMem});
    mem.push_back(0x00);  // a byte after the end of the list
    EXPECT_EQ(fitting(mem), std::vector<int>{});
    mem.resize(mem.size() - 3);  // the last record cut short
    EXPECT_EQ(fitting(mem), std::vector<int>{});

    EXPECT_EQ(fitting({}), std::vector<int>{kFormatOld});
    EXPECT_EQ(fitting({0x00, 0x00, 0x00}), (std::vector<int>{kFormatNew, kFormatMem}));
    EXPECT_EQ(fitting({0x00, 0x00, 0x00, 0x80}), (std::vector<int>{kFormatNew, kFormatMem}));
}

// Bytes fed one at a time fit the same layouts as the whole, wherever they
// end.
TEST(LayoutDetection, BytesFedInPiecesFitAsTheWhole) {
    Bytes bytes = MemExample();
    bytes.pop_back();
    AppendRecord(bytes, RecordFields{}, false);
    AppendRecord(bytes, RecordFields{}, true);
    bytes.push_back(0x00);
    for (std::size_t size = 0; size <= bytes.size(); ++size) {
        LayoutCheck check;
        for (std::size_t i = 0; i < size; ++i) {
            check.Feed(&bytes[i], 1);
        }
        EXPECT_EQ(check.Fitting(), FittingLayouts(bytes.data(), size)) << size << " bytes";
    }
}

// After a load, the one other layout that reads cleanly is advised, only
// when the layout used does not.
TEST(LayoutAdvice, TheOneOtherLayoutThatReadsCleanly) {
    const auto advice = [](const Bytes& bytes, int used) {
        return AdvisedLayout(bytes.data(), bytes.size(), used);
    };
    Bytes memOnly = MemExample();
    memOnly[0] = 0x00;
    EXPECT_EQ(advice(memOnly, kFormatNew), kFormatMem);
    EXPECT_EQ(advice(memOnly, kFormatOld), kFormatMem);
    EXPECT_EQ(advice(memOnly, kFormatMem), -1);                         // the layout used fits
    EXPECT_EQ(advice(MemExample(), kFormatNew), -1);                    // old and "Mem" both fit
    EXPECT_EQ(advice(MemExample(), kFormatOld), -1);                    // the layout used among two
    EXPECT_EQ(advice({0x00, 0x00, 0x00, 0x00, 0x00}, kFormatNew), -1);  // none fits

    // From a file, read in pieces: a thousand records cross the reads'
    // boundaries.
    Bytes big = {0x00, 0x00, 0x00};
    for (int i = 0; i < 1000; ++i) {
        AppendRecord(big, RecordFields{}, false);
    }
    TempDir dir;
    EXPECT_EQ(AdvisedLayoutForFile(dir.Write("mem.PRG", big), kFormatNew), kFormatMem);
    big.push_back(0x00);
    EXPECT_EQ(AdvisedLayoutForFile(dir.Write("mem.PRG", big), kFormatOld), kFormatMem);
    EXPECT_EQ(AdvisedLayoutForFile(dir.Write("mem.PRG", big), kFormatMem), -1);
    EXPECT_EQ(AdvisedLayoutForFile(dir.File("missing.PRG"), kFormatNew), -1);
}

TEST_F(PrgReader, SameBytesReadAsAnotherLayoutDiffer) {
    Load(MemExample(), kFormatNew);
    // Layout 0 reads 53-byte bodies: the blade values take the closing zero
    // byte and whatever follows (nothing), so they differ from "Mem".
    ASSERT_EQ(table_.GetItemCount(), 1);
    EXPECT_EQ(table_.GetCellText(0, 2), "S10");
    EXPECT_EQ(table_.GetCellText(0, 11), "0.0");

    Bytes withBlades = MemExample();
    withBlades.pop_back();
    Append(withBlades, {0x00, 0x64, 0xFF, 0x9C, 0x00});  // LamaSX 10.0, LamaDX -10.0, end
    Load(withBlades, kFormatNew);
    ASSERT_EQ(table_.GetItemCount(), 1);
    EXPECT_EQ(table_.GetCellText(0, 11), "10.0");
    EXPECT_EQ(table_.GetCellText(0, 12), "-10.0");

    Load(withBlades, kFormatMem);
    ASSERT_EQ(table_.GetItemCount(), 1);
    EXPECT_EQ(table_.GetCellText(0, 11), "0.0");
    EXPECT_EQ(table_.GetCellText(0, 12), "0.0");

    // Read without a header, the first header byte becomes the lead byte and
    // every field shifts.
    Load(withBlades, kFormatOld);
    ASSERT_GE(table_.GetItemCount(), 1);
    EXPECT_NE(Row(table_, table_.GetItemCount() - 1)[1], "500");
}

TEST_F(PrgReader, TwoRecordsWithoutHeaderLastRecordOnTop) {
    Bytes b;
    RecordFields first;
    first.lenPos = 1000;
    first.info[0] = "first";
    RecordFields second;
    second.lenPos = 2000;
    second.info[0] = "second";
    second.lamaSx = 25;
    AppendRecord(b, first, true);
    AppendRecord(b, second, true);
    Append(b, {0x00});
    Load(b, kFormatOld);

    ASSERT_EQ(table_.GetItemCount(), 2);
    EXPECT_EQ(table_.GetCellText(0, 0), "2");
    EXPECT_EQ(table_.GetCellText(0, 1), "2000");
    EXPECT_EQ(table_.GetCellText(0, 7), "second");
    EXPECT_EQ(table_.GetCellText(0, 11), "2.5");
    EXPECT_EQ(table_.GetCellText(1, 0), "1");
    EXPECT_EQ(table_.GetCellText(1, 1), "1000");
}

TEST_F(PrgReader, FilesWithoutRecordsGiveAnEmptyList) {
    struct Case {
        Bytes bytes;
        int format;
    };
    const std::vector<Case> cases = {
        {{}, kFormatNew},
        {{}, kFormatOld},
        {{}, kFormatMem},
        {{0x00}, kFormatOld},
        {{0x01, 0x01, 0x01}, kFormatNew},  // header only
        {{0x01, 0x01, 0x01}, kFormatMem},
        {{0x80}, kFormatOld},
        {{0xFF, 0x01, 0x01}, kFormatOld},
        {{0x01, 0x01, 0x01, 0x80, 0x01}, kFormatNew},
        {{0x01, 0x01, 0x01, 0xFF}, kFormatMem},
    };
    for (const auto& c : cases) {
        AddCutRow(table_, 99, CCutEntry());  // a stale row must go
        Load(c.bytes, c.format);
        EXPECT_EQ(table_.GetItemCount(), 0)
            << "format " << c.format << ", " << c.bytes.size() << " bytes";
    }
}

TEST_F(PrgReader, FileThatCannotBeOpenedLeavesTheListEmptyAndRaisesNothing) {
    AddCutRow(table_, 1, CCutEntry());
    LoadCutList(dir_.File("missing.PRG"), kFormatNew, table_);
    EXPECT_EQ(table_.GetItemCount(), 0);
    LoadCutList(dir_.path(), kFormatNew, table_);  // a folder
    EXPECT_EQ(table_.GetItemCount(), 0);
    LoadCutList("", kFormatNew, table_);
    EXPECT_EQ(table_.GetItemCount(), 0);
    LoadCutList(std::string(300, 'a'), kFormatNew, table_);
    EXPECT_EQ(table_.GetItemCount(), 0);

    CFileException error;
    EXPECT_FALSE(LoadCutListChecked(dir_.File("missing.PRG"), kFormatNew, table_, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_strFileName, dir_.File("missing.PRG"));
}

TEST_F(PrgReader, SecondValueMarkAndSignedValues) {
    RecordFields marked;
    marked.second = 0x53012C;  // 'S', 300
    RecordFields plain;
    plain.second = 0x01532C;  // 86828, the 'S' is not in the top byte
    plain.sx = -123;          // bytes FF 85
    plain.pezzi = 0xFFFF;
    plain.spessore = -32768;
    Bytes mem = {0x00, 0x00, 0x00};  // header of the Mem layout
    AppendRecord(mem, marked, false);
    AppendRecord(mem, plain, false);
    mem.push_back(0x00);
    Load(mem, kFormatMem);

    ASSERT_EQ(table_.GetItemCount(), 2);
    EXPECT_EQ(table_.GetCellText(1, 2), "S300");
    EXPECT_EQ(table_.GetCellText(0, 2), "86828");
    EXPECT_EQ(table_.GetCellText(0, 3), "-12.3");
    EXPECT_EQ(table_.GetCellText(0, 5), "-1");
    EXPECT_EQ(table_.GetCellText(0, 6), "-32768");
}

TEST_F(PrgReader, TextsKeepRawBytesAndStopAtAZeroByte) {
    Bytes b = {0x00, 0x00, 0x00};
    RecordFields f;
    f.info[0] = std::string("AB\0CD", 5);
    f.info[1] = "\xE8\xE0\x81\xFF";
    f.info[2] = "";
    f.info[3] = "12345678";
    AppendRecord(b, f, true);
    Load(b, kFormatNew);
    ASSERT_EQ(table_.GetItemCount(), 1);
    EXPECT_EQ(table_.GetCellText(0, 7), "AB");
    EXPECT_EQ(table_.GetCellText(0, 8), "\xE8\xE0\x81\xFF");
    EXPECT_EQ(table_.GetCellText(0, 9), "");
    EXPECT_EQ(table_.GetCellText(0, 10), "12345678");
}

// A record cut at every possible byte, in every layout: the record still
// shows, its missing numbers are zero, its texts end where the bytes end,
// and nothing of the record before it leaks in.
TEST_F(PrgReader, RecordCutShortAtEveryByteShowsOnlyWhatWasDelivered) {
    for (int format : {kFormatNew, kFormatOld, kFormatMem}) {
        const bool blades = format != kFormatMem;
        RecordFields full;
        full.lenPos = 0x0A0B0C;
        full.second = 0x0D0E0F;
        full.sx = 0x0102;
        full.dx = 0x0304;
        full.pezzi = 0x0506;
        full.spessore = 0x0708;
        for (auto& info : full.info) {
            info = "ZZZZZZZZ";
        }
        full.lamaSx = 0x0910;
        full.lamaDx = 0x1112;

        Bytes whole;
        if (format != kFormatOld) {
            Append(whole, {0x00, 0x00, 0x00});
        }
        AppendRecord(whole, full, blades);
        const std::size_t secondStart = whole.size();
        RecordFields next;
        next.lenPos = 0x111111;
        next.second = 0x222222;
        next.sx = 0x3333;
        next.dx = 0x4444;
        next.pezzi = 0x5555;
        next.spessore = 0x6666;
        for (auto& info : next.info) {
            info = "abcdefgh";
        }
        next.lamaSx = 0x7777;
        next.lamaDx = 0x0888;
        AppendRecord(whole, next, blades);

        // Cut after the lead byte of the second record up to one byte short.
        for (std::size_t end = secondStart + 1; end < whole.size(); ++end) {
            Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(end));
            Load(cut, format);
            ASSERT_EQ(table_.GetItemCount(), 2) << "format " << format << " end " << end;
            const std::size_t have = end - secondStart - 1;  // body bytes delivered

            // Expected value of a big-endian field at body offset off with width w.
            auto expectNumber = [&](std::size_t off, std::size_t w, long long fullValue) {
                long long value = 0;
                for (std::size_t i = 0; i < w; ++i) {
                    const long long byte = (fullValue >> (8 * (w - 1 - i))) & 0xFF;
                    value = (value << 8) | (off + i < have ? byte : 0);
                }
                return value;
            };
            auto tenths = [](long long raw) {
                const auto v = static_cast<std::int16_t>(static_cast<std::uint16_t>(raw));
                char text[16];
                std::snprintf(text, sizeof text, "%.1f", v * 0.1);
                return std::string(text);
            };
            auto text = [&](std::size_t off) {
                const std::size_t n = have > off ? std::min<std::size_t>(8, have - off) : 0;
                return std::string("abcdefgh").substr(0, n);
            };

            const auto row = Row(table_, 0);
            const std::string where =
                "format " + std::to_string(format) + " body bytes " + std::to_string(have);
            EXPECT_EQ(row[0], "2") << where;
            EXPECT_EQ(row[1], std::to_string(expectNumber(0, 3, next.lenPos))) << where;
            EXPECT_EQ(row[2], std::to_string(expectNumber(3, 3, next.second))) << where;
            EXPECT_EQ(row[3], tenths(expectNumber(6, 2, next.sx))) << where;
            EXPECT_EQ(row[4], tenths(expectNumber(8, 2, next.dx))) << where;
            EXPECT_EQ(row[5], std::to_string(expectNumber(10, 2, next.pezzi))) << where;
            EXPECT_EQ(row[6], std::to_string(expectNumber(12, 2, next.spessore))) << where;
            for (std::size_t i = 0; i < 4; ++i) {
                EXPECT_EQ(row[7 + i], text(14 + 8 * i)) << where << " info " << i;
            }
            if (blades) {
                EXPECT_EQ(row[11], tenths(expectNumber(49, 2, next.lamaSx))) << where;
                EXPECT_EQ(row[12], tenths(expectNumber(51, 2, next.lamaDx))) << where;
            } else {
                EXPECT_EQ(row[11], "0.0") << where;
                EXPECT_EQ(row[12], "0.0") << where;
            }
        }
    }
}

TEST(PrgReaderBytes, ReadersAssembleBigEndianAndSayHowFarTheyGot) {
    TempDir dir;
    struct Case {
        Bytes bytes;
        int result;
        std::int32_t value;
    };
    const std::vector<Case> cases = {
        {{0xFF, 0xFF, 0xFF}, 4, 16777215},
        {{0x12, 0x34, 0x56}, 4, 0x123456},
        {{0x12, 0x34}, 3, 0x123400},
        {{0x12}, 2, 0x120000},
        {{}, 1, 0},
    };
    for (const auto& c : cases) {
        CFile file;
        ASSERT_TRUE(file.Open(dir.Write("u24", c.bytes), CFile::modeRead));
        std::int32_t value = -1;
        EXPECT_EQ(ReadU24BE(file, value), c.result);
        EXPECT_EQ(value, c.value);
    }

    CFile file;
    ASSERT_TRUE(
        file.Open(dir.Write("i16", {0xFF, 0x85, 0x7F, 0xFF, 0x80, 0x00, 0x12}), CFile::modeRead));
    std::int16_t value = 1;
    ReadI16BE(file, value);
    EXPECT_EQ(value, -123);
    ReadI16BE(file, value);
    EXPECT_EQ(value, 32767);
    ReadI16BE(file, value);
    EXPECT_EQ(value, -32768);
    ReadI16BE(file, value);
    EXPECT_EQ(value, 0x1200);  // the missing low byte counts as zero

    // At the end of the file the second byte is not attempted.
    tresk::file_fault::Reset();
    ReadI16BE(file, value);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(tresk::file_fault::Calls(tresk::file_fault::Op::read), 1);
}

TEST_F(PrgReader, ReadsEachRecordBodyInOneRead) {
    Bytes b = MemExample();
    tresk::file_fault::Reset();
    Load(b, kFormatMem);
    // header, lead, body, next lead
    EXPECT_EQ(tresk::file_fault::Calls(tresk::file_fault::Op::read), 4);
}

TEST_F(PrgReader, ReadFailureRaisesAndKeepsTheRowsAlreadyInserted) {
    Bytes b;
    RecordFields f;
    for (int i = 0; i < 3; ++i) {
        AppendRecord(b, f, true);
    }
    const std::string path = dir_.Write("list.PRG", b);
    // Reads per record in layout 1: the lead byte and the body. Fail the lead
    // byte of the third record.
    tresk::file_fault::Reset();
    tresk::file_fault::FailNth(tresk::file_fault::Op::read, 2 * 2 + 1, tresk::test::kOsErrorIO);
    try {
        LoadCutList(path, kFormatOld, table_);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::hardIO);
        EXPECT_EQ(e.m_lOsError, tresk::test::kOsErrorIO);
        EXPECT_EQ(e.m_strFileName, path);
    }
    tresk::file_fault::Reset();
    EXPECT_EQ(table_.GetItemCount(), 2);
}

}  // namespace
