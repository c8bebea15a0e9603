// Drives the row store (the converter's table and the rows behind the dialog's
// list) with an arbitrary sequence of operations and checks every answer
// against a plain model (a deque of 13 strings per row), then writes the
// report of what is left and checks it byte for byte. Cell texts run up to 23
// characters so that texts whose length does not fit in a row's index entry,
// and the 7-character cut of the report, are both exercised; rows go in at
// the top mostly, and anywhere (past the end too) now and then; whole rows go
// in at the top in one call as a load puts them.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "core/cut_row_table.h"
#include "core/cut_rows.h"
#include "core/text_report.h"
#include "fuzz/fuzz_support.h"
#include "platform/file.h"

namespace {

using ModelRow = std::array<std::string, kCutColumnCount>;

class OpSource {
public:
    OpSource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool AtEnd() const { return m_pos >= m_size; }
    unsigned Next() { return m_pos < m_size ? m_data[m_pos++] : 0U; }
    // A C string of up to 23 bytes; a zero byte in the input ends it early, as
    // it would for any caller passing a char pointer.
    std::string Text() {
        const unsigned length = Next() % 24U;
        std::string text;
        for (unsigned i = 0; i < length; ++i) {
            text += static_cast<char>(Next());
        }
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// What a table keeps of text passed as a char pointer: up to the first zero.
std::string AsCString(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

std::string At(std::size_t op, const char* what) {
    return "operation " + std::to_string(op) + ": " + what;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OpSource ops(data, size);
    MemoryCutRowTable table;
    std::deque<ModelRow> model;

    for (std::size_t op = 0; !ops.AtEnd(); ++op) {
        const int count = static_cast<int>(model.size());
        switch (ops.Next() % 6U) {
            case 0:
                table.DeleteAllItems();
                model.clear();
                break;
            case 1: {
                // Index 0 three times in four; otherwise -1 to two past the end.
                const unsigned pick = ops.Next();
                const int index =
                    pick % 4U != 0
                        ? 0
                        : static_cast<int>(pick / 4U % static_cast<unsigned>(count + 4)) - 1;
                const std::string text = ops.Text();
                const int want = index < 0 ? -1 : std::min(index, count);
                FUZZ_CHECK(table.InsertItem(index, text.c_str()) == want, At(op, "insert index"));
                if (want >= 0) {
                    ModelRow row;
                    row[0] = AsCString(text);
                    model.insert(model.begin() + want, row);
                }
                break;
            }
            case 2: {
                // Rows and columns one beyond each end as well as inside.
                const int row = static_cast<int>(ops.Next() % static_cast<unsigned>(count + 3)) - 1;
                const int column = static_cast<int>(ops.Next() % 16U) - 1;
                const std::string text = ops.Text();
                const bool exists =
                    row >= 0 && row < count && column >= 0 && column < kCutColumnCount;
                FUZZ_CHECK(table.SetItemText(row, column, text.c_str()) == exists,
                           At(op, "SetItemText result"));
                if (exists) {
                    model[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] =
                        AsCString(text);
                }
                break;
            }
            case 3: {
                const int row = static_cast<int>(ops.Next() % static_cast<unsigned>(count + 3)) - 1;
                const int column = static_cast<int>(ops.Next() % 16U) - 1;
                const int length = static_cast<int>(ops.Next() % 28U) - 2;
                const bool exists =
                    row >= 0 && row < count && column >= 0 && column < kCutColumnCount;
                const std::string full =
                    exists ? model[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]
                           : std::string();
                // A buffer of exactly the length given, so the address sanitizer
                // sees any byte written past it; at least one byte to point at.
                const std::size_t bufferSize = length > 0 ? static_cast<std::size_t>(length) : 1;
                auto buffer = std::make_unique<char[]>(bufferSize);
                std::memset(buffer.get(), 0x7E, bufferSize);
                const int copied = table.GetItemText(row, column, buffer.get(), length);
                if (length < 1) {
                    FUZZ_CHECK(copied == 0, At(op, "copied into a buffer of no length"));
                    FUZZ_CHECK(buffer[0] == 0x7E, At(op, "wrote into a buffer of no length"));
                } else {
                    const std::string want = full.substr(0, static_cast<std::size_t>(length - 1));
                    FUZZ_CHECK(copied == static_cast<int>(want.size()),
                               At(op, "GetItemText count"));
                    FUZZ_CHECK(std::string(buffer.get()) == want, At(op, "GetItemText text"));
                }
                FUZZ_CHECK(table.GetCellView(row, column) == full, At(op, "GetCellView"));
                std::string_view cells[kCutColumnCount];
                table.GetRowView(row, cells);
                for (std::size_t c = 0; c < kCutColumnCount; ++c) {
                    const bool inside = row >= 0 && row < count;
                    FUZZ_CHECK(cells[c] == (inside ? model[static_cast<std::size_t>(row)][c] : ""),
                               At(op, "GetRowView"));
                }
                break;
            }
            case 5: {
                // A whole row in one call: texts back to back, a zero byte
                // inside one cutting it as it would through SetItemText.
                std::string bytes;
                std::size_t lengths[kCutColumnCount];
                ModelRow row;
                for (std::size_t c = 0; c < kCutColumnCount; ++c) {
                    const std::string text = ops.Text();
                    bytes += text;
                    lengths[c] = text.size();
                    row[c] = AsCString(text);
                }
                FUZZ_CHECK(table.InsertTopRow(bytes.data(), lengths) == 0, At(op, "whole row"));
                model.push_front(row);
                break;
            }
            default:
                FUZZ_CHECK(table.GetItemCount() == count, At(op, "GetItemCount"));
                break;
        }
    }

    FUZZ_CHECK(table.GetItemCount() == static_cast<int>(model.size()), "final row count");
    static CMemFile report;  // its buffer is made once
    report.Clear();
    WriteTextReport(table, report);
    tresk::fuzz::ReportMatcher matcher(report.GetBytes());
    FUZZ_CHECK(matcher.Header(), "report header differs");
    std::string_view cells[kCutColumnCount - 1];
    for (const ModelRow& row : model) {
        std::copy(row.begin() + 1, row.end(), cells);
        FUZZ_CHECK(matcher.Line(cells), "report line differs from the model's at byte " +
                                            std::to_string(matcher.Offset()));
    }
    FUZZ_CHECK(matcher.AtEnd(), "report goes on after the model's last row");
    return 0;
}
