// The text report as a PDF: the pages printing makes, on A4 landscape, in
// the Courier standard font with WinAnsiEncoding, so the report's
// Windows-1252 bytes are shown as they are and nothing is embedded. The text
// stays text: a PDF reader (and pdftotext) gives the lines back.
#pragma once

#include <string>

class CFile;
class MemoryCutRowTable;

// Lines on one PDF page, the header, the hyphens and the footer included.
inline constexpr int kPdfLinesPerPage = 44;

// Writes the report of table, laid out by CReportPages with kPdfLinesPerPage
// lines a page, to the file at path, replacing it whole once complete as the
// text report does (and failing as it does, with CFileException). fileName
// (Windows-1252) and format (a ListFormat value) go into every page's footer.
void SavePdfReport(const MemoryCutRowTable& table, const std::string& path,
                   const std::string& fileName, int format);

// Writes the same PDF to a file the caller has opened for writing; the
// caller closes it. The file is written from start to end, never sought, so
// it may be a pipe.
void WritePdfReport(const MemoryCutRowTable& table, CFile& file, const std::string& fileName,
                    int format);
