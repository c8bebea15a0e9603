#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file.h"
#include "tests/support/os_errors.h"
#include "tests/support/temp_files.h"

namespace {

using tresk::test::ReadWhole;
using tresk::test::TempDir;

TEST(FileException, MessagesOfEveryCause) {
    const char* expected[15] = {
        "Non si è verificato alcun errore.",
        "Si è verificato un errore sconosciuto durante l'accesso a /x/a b.PRG.",
        "/x/a b.PRG non trovato.",
        "/x/a b.PRG contiene un percorso non valido.",
        "Non è stato possibile aprire /x/a b.PRG poiché vi sono troppi file aperti.",
        "Accesso a /x/a b.PRG negato.",
        "Un gestore di file non valido è stato associato a /x/a b.PRG.",
        "Impossibile rimuovere /x/a b.PRG poiché è la directory corrente.",
        "Impossibile creare /x/a b.PRG poiché la directory è piena.",
        "Ricerca fallita su /x/a b.PRG",
        "Nell'accesso a /x/a b.PRG è stato registrato un errore hardware di I/O. ",
        "Durante l'accesso a /x/a b.PRG si è verificata una violazione di condivisione.",
        "Durante l'accesso a /x/a b.PRG si è verificata una violazione di blocco.",
        "Disco pieno durante l'accesso a /x/a b.PRG.",
        "È stato fatto un tentativo di accedere a /x/a b.PRG oltre la sua fine.",
    };
    for (int cause = 0; cause < CFileException::kCauseCount; ++cause) {
        EXPECT_EQ(CFileException(cause, 0, "/x/a b.PRG").GetErrorMessage(),
                  SystemText(expected[cause]));
    }
    EXPECT_EQ(CFileException(CFileException::fileNotFound, 2, "").GetErrorMessage(),
              "un file senza nome non trovato.");
    // A name cannot print a line of its own or reach the terminal as a code.
    EXPECT_EQ(CFileException(CFileException::fileNotFound, 2, "/x/a\nb\t\x1b[1m\x7f\xe8")
                  .GetErrorMessage(),
              "/x/a\\nb\\t\\x1B[1m\\x7F\xe8 non trovato.");
    EXPECT_STREQ(CMemoryException().what(), "Memoria insufficiente.");
}

TEST(File, OperationsOnAFileThatNeverOpenedFailAsNotFound) {
    TempDir dir;
    CFile file;
    const std::string path = dir.File("none/report.txt");
    EXPECT_FALSE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    file.Write("", 0);  // nothing to write, nothing to fail
    try {
        file.Write("x", 1);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_lOsError, tresk::test::kOsErrorBadHandle);
        EXPECT_EQ(e.m_strFileName, path);
    }
    char byte = 0;
    EXPECT_THROW(file.Read(&byte, 1), CFileException);
    EXPECT_NO_THROW(file.Close());
}

// A bare name has no folder part: the new file goes beside it in the current
// folder, takes its place at Close(), and a free name is created the same way.
TEST(File, ABareNameInTheCurrentFolderIsCreatedAndReplacedInPlace) {
    TempDir dir;
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const char* text : {"first", "second"}) {
        CFile file;
        EXPECT_TRUE(file.Open("report.txt", CFile::modeCreate | CFile::modeWrite));
        file.Write(text, std::char_traits<char>::length(text));
        EXPECT_NO_THROW(file.Close());
    }
    std::filesystem::current_path(cwd);
    EXPECT_EQ(ReadWhole(dir / "report.txt"), "second");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"report.txt"});
}

TEST(File, BufferedReadsAndWritesAreByteExact) {
    TempDir dir;
    const std::string path = dir.File("data.bin");
    std::string written;
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        // Pieces of many sizes, across the internal buffer's boundaries.
        for (int i = 0; i < 3000; ++i) {
            const std::string piece(static_cast<std::size_t>(i % 97), static_cast<char>(i));
            file.Write(piece.data(), piece.size());
            written += piece;
        }
        const std::string big(200000, 'B');
        file.Write(big.data(), big.size());
        written += big;
        file.Close();
    }
    EXPECT_EQ(ReadWhole(path), written);

    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead));
    std::string read;
    char chunk[333];
    for (;;) {
        const std::size_t got = file.Read(chunk, (read.size() % 7 == 0) ? 1 : sizeof chunk);
        if (got == 0) {
            break;
        }
        read.append(chunk, got);
    }
    EXPECT_EQ(read, written);
}

}  // namespace
