// The fixed-width text report of a cut list.
#pragma once

#include <string>

class CFile;
class MemoryCutRowTable;

// Writes the rows of table to the file at path (created, or replaced whole
// once complete, without sharing): the header line, 120 hyphens, an empty
// line, then one line per row from the top, columns 1 to 12 cut to 7
// characters, every cell but the last padded to 10, CR LF line ends. A report
// file that cannot be created fails at the first write with the file-not-found
// cause and the full path (a sharing violation when another process holds it).
// Failures throw CFileException and leave an existing report as it was.
void SaveTextReport(const MemoryCutRowTable& table, const std::string& path);

// Writes the same report to a file the caller has opened for writing (the
// converter's standard output, say); the caller closes it.
void WriteTextReport(const MemoryCutRowTable& table, CFile& file);

// The report's first lines: the header line, the 120 hyphens and the empty
// line; the line of row r follows as line kTextReportTopLines + r.
inline constexpr int kTextReportTopLines = 3;

// One line of the report of table, without its CR LF, into text: the same
// bytes WriteTextReport writes for that line (an index past the rows gives
// an empty line). For those that lay the report out on pages.
void TextReportLine(const MemoryCutRowTable& table, int index, std::string& text);
