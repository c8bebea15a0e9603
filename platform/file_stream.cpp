#include "platform/file_stream.h"

#include "platform/file.h"

std::streamsize CFileStreamBuf::xsputn(const char* text, std::streamsize count) {
    try {
        m_file.Write(text, static_cast<std::size_t>(count));
        m_file.Flush();
        return count;
    } catch (const CFileException&) {
        return 0;
    }
}

CFileStreamBuf::int_type CFileStreamBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}
