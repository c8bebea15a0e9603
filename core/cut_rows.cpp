#include "core/cut_rows.h"

#include <charconv>
#include <cmath>

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
// dominates a load of a million records.
class CellText {
public:
    const char* Int(long value) { return Finish(std::to_chars(m_buf, m_buf + kSize - 1, value)); }
    const char* MarkedInt(long value) {
        m_buf[0] = 'S';
        const auto result = std::to_chars(m_buf + 1, m_buf + kSize - 1, value);
        return Finish(result);
    }
    // "%.1f": one digit after the point, rounded. A record's values are
    // whole tenths (an int16 times 0.1), and for those the digits are the
    // integer's own; anything else takes the general conversion.
    const char* Tenths(double value) {
        if (value > -3300.0 && value < 3300.0) {
            const long tenths = std::lround(value * 10.0);
            if (static_cast<double>(tenths) * 0.1 == value) {
                char* out = m_buf;
                const auto magnitude = static_cast<unsigned long>(tenths < 0 ? -tenths : tenths);
                if (tenths < 0) {
                    *out++ = '-';
                }
                out = std::to_chars(out, m_buf + kSize - 1, magnitude / 10).ptr;
                *out++ = '.';
                *out++ = static_cast<char>('0' + magnitude % 10);
                *out = '\0';
                return m_buf;
            }
        }
        return Finish(std::to_chars(m_buf, m_buf + kSize - 1, value, std::chars_format::fixed, 1));
    }
    // "%s" of a 9-byte text field; stops at its eighth byte even when the
    // terminating zero is missing.
    const char* Text(const char (&field)[9]) {
        std::size_t n = 0;
        while (n < 8 && field[n] != '\0') {
            m_buf[n] = field[n];
            ++n;
        }
        m_buf[n] = '\0';
        return m_buf;
    }

private:
    const char* Finish(std::to_chars_result result) {
        if (result.ec != std::errc()) {
            m_buf[0] = '\0';  // cannot happen for the values of a record
        } else {
            *result.ptr = '\0';
        }
        return m_buf;
    }

    // Enough for "%.1f" of any double (309 digits before the point).
    static constexpr std::size_t kSize = 330;
    char m_buf[kSize] = {};
};

}  // namespace

void AddCutRow(CutRowTable& table, int rowNumber, const CCutEntry& entry) {
    CellText text;
    table.InsertItem(0, text.Int(rowNumber));
    table.SetItemText(0, 1, text.Int(entry.m_lenPos));
    table.SetItemText(0, 2,
                      entry.m_bS ? text.MarkedInt(entry.m_spessLen) : text.Int(entry.m_spessLen));
    table.SetItemText(0, 3, text.Tenths(entry.m_sx));
    table.SetItemText(0, 4, text.Tenths(entry.m_dx));
    table.SetItemText(0, 5, text.Int(entry.m_pezzi));
    table.SetItemText(0, 6, text.Int(entry.m_spessore));
    for (int i = 0; i < 4; ++i) {
        table.SetItemText(0, 7 + i, text.Text(entry.m_info[i]));
    }
    table.SetItemText(0, 11, text.Tenths(entry.m_lamaSx));
    table.SetItemText(0, 12, text.Tenths(entry.m_lamaDx));
}
