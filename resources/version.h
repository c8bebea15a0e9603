// The facts of the programs' version records: the numbers and texts that the
// executables' version resources (treskviewer.rc, treskdump.rc) carry and the
// viewer itself reports. Plain #defines, so that the resource compiler reads the
// same facts as C++; resources/CMakeLists.txt checks that the numbers are the
// CMake project version.
#pragma once

#define TRESK_FILEVERSION_MAJOR 1
#define TRESK_FILEVERSION_MINOR 0
#define TRESK_FILEVERSION_PATCH 0
#define TRESK_FILEVERSION_BUILD 1
#define TRESK_FILEVERSION_TEXT "1, 0, 0, 1"

#define TRESK_VERSION_INTERNAL_NAME "TreskViewer"
#define TRESK_VERSION_ORIGINAL_FILENAME "TreskViewer.EXE"
#define TRESK_VERSION_FILE_DESCRIPTION "TreskViewer Applicazione MFC"
#define TRESK_VERSION_PRODUCT_NAME "TreskViewer Applicazione"
// The converter's own record (treskdump.rc); the product is the same.
#define TRESK_DUMP_VERSION_INTERNAL_NAME "treskdump"
#define TRESK_DUMP_VERSION_ORIGINAL_FILENAME "treskdump.exe"
#define TRESK_DUMP_VERSION_FILE_DESCRIPTION "TreskViewer convertitore liste di taglio"
// The record's language, Italian (0x0410), and its texts' code page,
// Windows-1252.
#define TRESK_VERSION_LANGUAGE_ID 0x0410
#define TRESK_VERSION_CODE_PAGE 1252
