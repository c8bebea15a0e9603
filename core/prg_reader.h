// Decoding of PRG cut-list files into a CutRowTable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/prg_layout.h"

class CFile;
class CFileException;
class CutRowTable;

// The layout a command line names: "new" or "0", "old" or "1", "mem" or "2";
// -1 for anything else.
int ParseListFormat(std::string_view name);

// The text under which the layout is offered, "Lib / Ori ( >=1.7 )", "Lib /
// Ori ( <1.7 )" or "Mem" ("" for a value outside 0..2).
const char* ListFormatTitle(int format);

// Reads a big-endian 24-bit value one byte at a time into bits 16-23, 8-15
// and 0-7 of out; bits 24-31 are zero. Returns 4 when all three bytes were
// read, else 1, 2 or 3 for the byte that could not be read. A byte missing at
// the end of the file leaves its bits (and those after it) zero. Throws
// CFileException when the operating system refuses a read.
int ReadU24BE(CFile& file, std::int32_t& out);

// Reads a big-endian signed 16-bit value as two single-byte reads; when the
// first byte cannot be read the second is not attempted. Missing bytes at the
// end of the file count as zero. Throws CFileException as ReadU24BE.
void ReadI16BE(CFile& file, std::int16_t& out);

// Replaces the rows of table with one row per record of the file at path, in
// the given layout, last record on top. A file that cannot be opened leaves
// table empty and reports nothing. End of file inside a record is not an
// error: the record is shown with its missing numbers as zero and its texts
// cut after the last byte delivered. A read that the operating system refuses
// throws CFileException; the rows inserted before it stay in table. Running out
// of memory leaves table empty.
void LoadCutList(const std::string& path, int format, CutRowTable& table);

// Replaces the rows of table with the records of file, already open for
// reading (a file, standard input, or a CMemFile), as LoadCutList does from
// its header on; the caller closes the file. When memory runs out, the rows
// made so far are removed before the error goes on.
void ReadCutList(CFile& file, int format, CutRowTable& table);

// As LoadCutList, but returns false (table empty, openError filled when given)
// when the file cannot be opened, for callers that must report that.
bool LoadCutListChecked(const std::string& path, int format, CutRowTable& table,
                        CFileException* openError);
