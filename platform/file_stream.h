// An output stream's buffer that writes through a CFile, for text that goes
// to a standard stream as the reports do: through the file layer, so that a
// console on Windows shows the letters of the ANSI code page.
#pragma once

#include <streambuf>

class CFile;

// Every piece is written out at once (nothing waits in the stream). A failed
// write fails the stream (badbit) and throws nothing, as std::cerr does.
class CFileStreamBuf final : public std::streambuf {
public:
    explicit CFileStreamBuf(CFile& file) : m_file(file) {}

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int_type overflow(int_type c) override;

private:
    CFile& m_file;
};
