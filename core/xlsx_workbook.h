// The cut list as an Excel workbook (.xlsx): one sheet of the 13 columns,
// the titles in a bold, frozen first row with a filter over the data, the
// numbers as numbers and the texts as texts.
#pragma once

#include <string>
#include <string_view>

class CFile;
class MemoryCutRowTable;

// The rows a sheet holds under its header row; the rows beyond go to
// further sheets.
inline constexpr int kWorkbookSheetRows = 1048575;

// The sheet name for a cut list's file name (UTF-8; a path is cut to its
// last component): the name without its extension, '[', ']', ':', '*', '?',
// '/' and '\' (and characters a sheet name cannot hold: control characters,
// bytes that are not UTF-8, an apostrophe at either end) replaced by '_', cut
// to 31 characters. An empty name gives "Foglio1".
std::string WorkbookSheetName(std::string_view fileName);

// WorkbookSheetName of the cut list at path, a path in the system's encoding
// (UTF-8 on Linux, the ANSI code page taken as Windows-1252 on Windows).
std::string WorkbookSheetNameOfPath(const std::string& path);

// Writes the rows of table to the file at path as a workbook, replacing it
// whole once complete as the text report does (and failing as it does, with
// CFileException). sheetName (UTF-8) names the first sheet; a list longer
// than a sheet continues on sheets "NAME (2)", "NAME (3)"... sheetName gets
// WorkbookSheetName's replacements and cut (its extension stays), so any
// text will do; NAME is cut further where " (n)" would pass 31 characters.
void SaveWorkbook(const MemoryCutRowTable& table, const std::string& path,
                  const std::string& sheetName);

// Writes the same workbook to a file the caller has opened for writing (a
// pipe will do: it is never sought); the caller closes it. rowsPerSheet is
// kWorkbookSheetRows but for tests.
void WriteWorkbook(const MemoryCutRowTable& table, CFile& file, const std::string& sheetName,
                   int rowsPerSheet = kWorkbookSheetRows);
