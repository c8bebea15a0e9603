// The Windows file layer: GetLastError() and its causes, the exclusive open
// as a sharing violation, full paths and the ANSI code page.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_os.h"
#include "tests/support/temp_files.h"

namespace {

using tresk::test::ReadWhole;
using tresk::test::TempDir;

TEST(FileException, WindowsErrorCodesSelectTheCause) {
    struct Group {
        int cause;
        std::initializer_list<int> codes;
    };
    const Group groups[] = {
        {CFileException::none, {0}},
        {CFileException::fileNotFound, {2, 6, 18, 107}},
        {CFileException::badPath,
         {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}},
        {CFileException::tooManyOpenFiles, {4, 36, 68, 113}},
        {CFileException::accessDenied,
         {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
        {CFileException::invalidFile, {11, 26, 60, 66, 114, 182, 191, 193}},
        {CFileException::removeCurrentDir, {16, 145}},
        {CFileException::directoryFull, {62}},
        {CFileException::badSeek, {24, 25, 27, 30, 131, 132}},
        {CFileException::hardIO, {20, 21, 22, 23, 57, 59, 88, 117, 995, 996, 997}},
        {CFileException::sharingViolation, {32}},
        {CFileException::lockViolation, {33, 108, 167}},
        {CFileException::diskFull, {39, 112}},
        {CFileException::endOfFile, {38}},
        {CFileException::genericException, {1, 8, 13, 87, 1784}},
    };
    for (const Group& group : groups) {
        for (const int code : group.codes) {
            EXPECT_EQ(CFileException::OsErrorToException(code), group.cause) << code;
        }
    }
}

TEST(File, OpenFailuresCarryCauseCodeAndFullPath) {
    TempDir dir;
    CFile file;
    CFileException error;

    EXPECT_FALSE(file.Open(dir.File("missing.PRG"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(error.m_strFileName, dir.File("missing.PRG"));

    EXPECT_FALSE(file.Open(dir.path(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);

    EXPECT_FALSE(file.Open(dir.File("manca/r.txt"), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);
    EXPECT_EQ(error.m_lOsError, ERROR_PATH_NOT_FOUND);

    // Relative paths are reported as Windows completes them, with "\".
    char cwd[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, cwd), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    const bool opened = file.Open("sub/../missing.PRG", CFile::modeRead, &error);
    SetCurrentDirectoryA(cwd);  // a folder in use cannot be removed
    EXPECT_FALSE(opened);
    EXPECT_EQ(error.m_strFileName, dir.File("missing.PRG"));
}

TEST(File, AnExclusivelyHeldFileIsASharingViolationAndIsNotTruncated) {
    TempDir dir;
    const std::string path = dir.Write("held.PRG", {1, 2, 3});
    CFile holder;
    ASSERT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));

    CFile other;
    CFileException error;
    EXPECT_FALSE(other.Open(path, CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(error.m_lOsError, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(error.GetErrorMessage(),
              SystemText("Durante l'accesso a " + path +
                         " si è verificata una violazione di condivisione."));
    EXPECT_FALSE(
        other.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);

    holder.Close();
    EXPECT_EQ(ReadWhole(path), std::string("\x01\x02\x03"));
    EXPECT_TRUE(other.Open(path, CFile::modeRead | CFile::shareExclusive, &error));
}

// The new content takes the old one's place only at Close(): until then, and
// when an exception unwinds past the file, the old one is whole and nothing
// else is left in the folder. A read-only file is not replaced at all.
TEST(File, ReplacingAFileKeepsTheOldOneUntilTheNewIsComplete) {
    TempDir dir;
    const std::string path = dir.WriteText("report.txt", "old");
    const std::vector<std::string> entries{"report.txt"};
    try {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        file.Write("new", 3);
        file.Flush();
        EXPECT_EQ(ReadWhole(path), "old");
        throw std::runtime_error("unwinding");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ReadWhole(path), "old");
    EXPECT_EQ(dir.Entries(), entries);

    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    file.Write("new", 3);
    file.Close();
    EXPECT_EQ(ReadWhole(path), "new");
    EXPECT_EQ(dir.Entries(), entries);

    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A read-only target is not replaced (Wine run by root could write it); a
// replaced one keeps its attributes, and one with a second name (a hard link)
// is written in place, so both names see the new bytes.
TEST(File, ReplacedFilesKeepAttributesAndLinks) {
    TempDir dir;
    const std::string path = dir.WriteText("report.txt", "old");
    CFile file;
    CFileException error;
    for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_READONLY}}) {
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
        const bool opened = file.Open(path, CFile::modeCreate | CFile::modeWrite, &error);
        EXPECT_EQ(opened, attributes != FILE_ATTRIBUTE_READONLY) << attributes;
        if (opened) {
            file.Write("new", 3);
            file.Close();
        } else {
            EXPECT_EQ(error.m_cause, CFileException::accessDenied);
        }
        EXPECT_EQ(ReadWhole(path), "new");
        EXPECT_EQ(GetFileAttributesA(path.c_str()) & attributes, attributes);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // so the folder can go

    const std::string other = dir.File("other.txt");
    if (!CreateHardLinkA(other.c_str(), path.c_str(), nullptr)) {
        GTEST_SKIP() << "no hard links here";
    }
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    file.Write("newer", 5);
    file.Close();
    EXPECT_EQ(ReadWhole(other), "newer");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"other.txt", "report.txt"}));
}

// Ctrl+C while a replace is under way removes the new file and ends the
// program with the status Ctrl+C gives; while held (a copy in place), only
// once the hold ends. The death tests' children run this body again, so they
// take the parent's folder from the environment instead of making their own.
// (Wine makes a console only on an X display and generates no Ctrl+Break.)
TEST(File, CtrlCRemovesTheNewFile) {
    const char* const kFolder = "TRESK_CTRL_C_FOLDER";
    std::optional<TempDir> dir;
    char inherited[MAX_PATH] = {};
    if (GetEnvironmentVariableA(kFolder, inherited, MAX_PATH) == 0) {
        dir.emplace();
        dir->WriteText("report.txt", "old");
        ASSERT_TRUE(SetEnvironmentVariableA(kFolder, dir->path().c_str()));
    }
    const std::string folder = dir ? dir->path() : inherited;
    for (const bool held : {false, true}) {
        EXPECT_EXIT(
            {
                CFile file;
                file.Open(folder + "\\report.txt", CFile::modeCreate | CFile::modeWrite);
                file.Write("new", 3);
                file.Flush();
                if (held) {
                    tresk::file_os::HoldEnding();
                }
                FreeConsole();
                if (AllocConsole() && GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
                    Sleep(held ? 1000 : 10000);  // the handler's thread ends it meanwhile
                }
                if (held) {
                    std::ofstream(folder + "\\went-on");
                    tresk::file_os::ReleaseEnding();
                    Sleep(10000);
                }
                std::exit(1);
            },
            ::testing::ExitedWithCode(static_cast<int>(STATUS_CONTROL_C_EXIT)), "")
            << held;
        if (dir) {  // the child of the second goes on here past the first
            EXPECT_EQ(ReadWhole(dir->File("report.txt")), "old");
            EXPECT_EQ(dir->Entries(), (held ? std::vector<std::string>{"report.txt", "went-on"}
                                            : std::vector<std::string>{"report.txt"}));
        }
    }
    SetEnvironmentVariableA(kFolder, nullptr);
}

// Paths keep their bytes; only the program's own words are converted.
TEST(FileException, MessagesAreInTheAnsiCodePage) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    }
    EXPECT_EQ(SystemText("Citt\xC3\xA0 \xE2\x82\xAC"), "Citt\xE0 \x80");
    EXPECT_EQ(CFileException(CFileException::hardIO, 23, "C:\\Citt\xE0.PRG").GetErrorMessage(),
              "Nell'accesso a C:\\Citt\xE0.PRG \xE8 stato registrato un errore hardware di I/O. ");
}

// Names are taken apart and joined as bytes: a drive's colon ends the folder
// part as a backslash does.
TEST(FilePaths, NamesAndFoldersOfWindowsPaths) {
    EXPECT_EQ(PathFileName("C:\\in\\s\xE9quence \xE9.PRG"), "s\xE9quence \xE9.PRG");
    EXPECT_EQ(PathFileName("C:lista.PRG"), "lista.PRG");
    EXPECT_EQ(PathFileName("in/lista.PRG"), "lista.PRG");
    EXPECT_EQ(JoinPath("C:\\usc\xECta", "a.txt"), "C:\\usc\xECta\\a.txt");
    EXPECT_EQ(JoinPath("C:\\", "a.txt"), "C:\\a.txt");
    EXPECT_EQ(JoinPath("C:", "a.txt"), "C:a.txt");
    TempDir dir;
    EXPECT_EQ(KindOfPath(dir.path()), PathKind::folder);
    EXPECT_EQ(KindOfPath(dir.WriteText("f", "x")), PathKind::other);
    EXPECT_EQ(KindOfPath(dir.File("manca")), PathKind::missing);
}

// A console is given Unicode; a file, a pipe and NUL (a character device
// too) take bytes. The console's screen holds the letters of the ANSI code
// page, not those of its OEM code page.
TEST(FileStandardStreams, AConsoleGetsTheLettersFilesAndPipesTheBytes) {
    TempDir dir;
    HANDLE file = CreateFileA(dir.File("f").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE device = CreateFileA("NUL", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    for (HANDLE handle : {file, device, writeEnd}) {
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(
            tresk::file_os::IsConsole(static_cast<int>(reinterpret_cast<intptr_t>(handle))));
        CloseHandle(handle);
    }
    CloseHandle(readEnd);

    // A console of the test's own, let go afterwards with the standard
    // handles the later tests write through. Wine makes one only on an X
    // display.
    struct OwnConsole {
        HANDLE saved[3] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE),
                           GetStdHandle(STD_ERROR_HANDLE)};
        ~OwnConsole() {
            FreeConsole();
            SetStdHandle(STD_INPUT_HANDLE, saved[0]);
            SetStdHandle(STD_OUTPUT_HANDLE, saved[1]);
            SetStdHandle(STD_ERROR_HANDLE, saved[2]);
        }
    } own;
    FreeConsole();  // Wine may have given the process one on the terminal
    DWORD mode = 0;
    if (!AllocConsole() || !GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
        GTEST_SKIP() << "no console can be made here";
    }
    HANDLE screen = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ASSERT_TRUE(GetConsoleScreenBufferInfo(screen, &info));
    CFile console;
    ASSERT_TRUE(console.OpenStandardOutput());
    const std::string text = "\xE8 \xC8 \xF9";  // è È ù in Windows-1252
    console.Write(text.data(), text.size());
    console.Close();
    wchar_t shown[5] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadConsoleOutputCharacterW(screen, shown, 5, info.dwCursorPosition, &read));
    EXPECT_EQ(std::wstring(shown, read), L"\u00E8 \u00C8 \u00F9");
}

}  // namespace
