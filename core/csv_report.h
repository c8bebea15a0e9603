// The CSV form of a cut list, as the converter writes it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class MemoryCutRowTable;

// Appends the bytes of a cell as one RFC 4180 field, decoded from
// Windows-1252 to UTF-8 (see core/windows1252.h): quoted (with doubled quotes)
// when it holds a comma, a double quote, CR or LF; as it is otherwise.
void AppendCsvField(std::string& line, std::string_view field);

// The CSV form of a table: a header row of the 13 column titles, then every
// row from the top, all 13 cells in full, decoded to UTF-8, CR LF line ends.
// Calls sink with pieces of the text in order (a few tens of KB at a time), so
// a million rows never sit in memory twice.
void WriteCsv(const MemoryCutRowTable& table, const std::function<void(std::string_view)>& sink);
