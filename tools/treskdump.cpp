// treskdump: turns PRG cut lists into the viewer's text report, or into CSV,
// for scripts and batch work. See HelpText() in dump_args.cpp for the options.
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_stream.h"
#include "tools/dump.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Standard output is written through the file layer, like any report: a
    // closed or full standard output fails with the viewer's messages
    // (naming "stdout") instead of passing for success. Messages go through
    // it too, so that a console shows their accented letters.
    CFile out;
    out.OpenStandardOutput();
    CFile errFile;
    CFileStreamBuf errBuffer(errFile);
    std::ostream errStream(&errBuffer);
    std::ostream& err = errFile.OpenStandardError() ? errStream : std::cerr;
    // With a standard stream closed, the next file opened would take its
    // number: error text could land in a report, or a report on the terminal.
    CFile::KeepStandardStreamsOpen();
    int status = treskdump::Run(args, out, err);
    try {
        out.Close();
    } catch (const CFileException& e) {
        err << "treskdump: " << e.GetErrorMessage() << '\n';
        if (status == treskdump::kExitOk)
            status = treskdump::kExitFileFailed;
    }
    return status;
}
