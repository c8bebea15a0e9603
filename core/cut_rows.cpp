#include "core/cut_rows.h"

#include <charconv>

const CutColumn kCutColumns[kCutColumnCount] = {
    {"Nr.", 20},
    {"L.Display/Qt.Posiz", 80},
    {"S_spess/L.Display", 80},
    {"Sx", 50},
    {"Dx", 50},
    {"Pezzi", 50},
    {"Spessore", 50},
    {"Info1", 80},
    {"Info2/BarCode", 80},
    {"Info3/BarCode", 80},
    {"Info4", 80},
    {"LamaSX", 50},
    {"LamaDX", 50},
};

namespace {

// The texts are those of printf's "%d", "%ld" and "%.1f" in the "C" locale.
// std::to_chars gives exactly those digits without looking at the locale
// (the GUI toolkit sets LC_NUMERIC from the environment, which would turn
// 12.3 into "12,3" under an Italian locale) and without printf's cost, which
// dominates a load of a million records. The 13 texts of a row are written
// back to back into one buffer and handed to the table in one call.
class RowText {
public:
    void Int(long value) { Finish(std::to_chars(m_end, m_buf + kSize, value)); }
    void MarkedInt(long value) {
        *m_end = 'S';
        Finish(std::to_chars(m_end + 1, m_buf + kSize, value));
    }
    // "%.1f": one digit after the point, rounded. A record's values are
    // whole tenths (an int16 times 0.1), and for those the digits are the
    // integer's own; anything else takes the general conversion.
    void Tenths(double value) {
        if (value > -3300.0 && value < 3300.0) {
            // Rounded half away from zero without a call into the maths
            // library; the test below accepts only a value whose tenths
            // these are, whatever the rounding of a borderline product.
            const double scaled = value * 10.0;
            const auto tenths = static_cast<long>(scaled < 0.0 ? scaled - 0.5 : scaled + 0.5);
            if (static_cast<double>(tenths) * 0.1 == value) {
                char* out = m_end;
                const auto magnitude = static_cast<unsigned long>(tenths < 0 ? -tenths : tenths);
                if (tenths < 0) {
                    *out++ = '-';
                }
                out = std::to_chars(out, m_buf + kSize, magnitude / 10).ptr;
                *out++ = '.';
                *out++ = static_cast<char>('0' + magnitude % 10);
                Finish(out);
                return;
            }
        }
        Finish(std::to_chars(m_end, m_buf + kSize, value, std::chars_format::fixed, 1));
    }
    // "%s" of a 9-byte text field; stops at its eighth byte even when the
    // terminating zero is missing.
    void Text(const char (&field)[9]) {
        std::size_t n = 0;
        while (n < 8 && field[n] != '\0') {
            m_end[n] = field[n];
            ++n;
        }
        Finish(m_end + n);
    }

    void InsertInto(CutRowTable& table) const { table.InsertTopRow(m_buf, m_lengths); }

private:
    void Finish(std::to_chars_result result) {
        // The buffer has room for every conversion; were one to fail, its
        // text would be empty.
        Finish(result.ec == std::errc() ? result.ptr : m_end);
    }
    void Finish(char* end) {
        m_lengths[m_column++] = static_cast<std::size_t>(end - m_end);
        m_end = end;
    }

    // Room for 9 integers or texts of at most 12 characters and for 4 times
    // "%.1f" of any double (309 digits before the point), so no conversion
    // can run out of it.
    static constexpr std::size_t kSize = 9 * 12 + 4 * 330;
    char m_buf[kSize];
    char* m_end = m_buf;
    std::size_t m_lengths[CutRowTable::kColumns] = {};
    int m_column = 0;
};

}  // namespace

void AddCutRow(CutRowTable& table, int rowNumber, const CCutEntry& entry) {
    RowText text;
    text.Int(rowNumber);
    text.Int(entry.m_lenPos);
    if (entry.m_bS) {
        text.MarkedInt(entry.m_spessLen);
    } else {
        text.Int(entry.m_spessLen);
    }
    text.Tenths(entry.m_sx);
    text.Tenths(entry.m_dx);
    text.Int(entry.m_pezzi);
    text.Int(entry.m_spessore);
    for (const auto& info : entry.m_info) {
        text.Text(info);
    }
    text.Tenths(entry.m_lamaSx);
    text.Tenths(entry.m_lamaDx);
    text.InsertInto(table);
}
