// Program files: the exact bytes written, round trips, damaged files and safe saving.
#include "document/program_file.h"

#include "document_test_helpers.h"

#include "document/editing.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace document {
namespace {

using testing::readBytes;
using testing::sameDocument;
using testing::TempDir;
using testing::writeBytes;

std::string word(std::int32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((static_cast<std::uint32_t>(value) >> shift) & 0xFFu);
    }
    return bytes;
}

std::string header(std::int32_t rows, std::int32_t reserved = 0) {
    return word(69) + word(77) + word(85) + word(33) + word(reserved) + word(rows) +
           std::string(16, '\0');
}

std::string emptyRows(int rows) {
    return std::string(static_cast<std::size_t>(rows) * 40, '\0');
}

std::string lines(int count, const std::string& line = "") {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line + "\r\n";
    return text;
}

// A document with something in every cell that a previous load must not leave behind.
LadderDocument busyDocument() {
    LadderDocument document;
    document.AddRows(20);
    for (int row = 0; row < document.rowCount(); ++row) {
        for (int col = 0; col < kColumns; ++col) {
            document.SetCellCode(row, col, 7);
            document.SetCellText(row, col, "#1old#");
        }
    }
    return document;
}

TEST(ProgramFileTest, NewDocumentGivesTheExactBytes) {
    TempDir dir;
    LadderDocument document;
    ASSERT_EQ(SaveProgram(document, dir.file("nowy.jar")), FileResult::Success);
    const std::string program = readBytes(dir.file("nowy.jar"));
    EXPECT_EQ(program, header(10) + emptyRows(10));
    EXPECT_EQ(program.size(), 440u);
    EXPECT_EQ(program.substr(0, 16), std::string("\x45\0\0\0\x4D\0\0\0\x55\0\0\0\x21\0\0\0", 16));
    EXPECT_EQ(readBytes(dir.file("nowy.jar.str")), lines(100));
    EXPECT_EQ(document.status(), DocumentStatus::Saved);
}

TEST(ProgramFileTest, TextsAreWrittenColumnByColumn) {
    LadderDocument document;
    document.SetCellCode(0, 0, 101);
    document.SetCellText(0, 0, "#A%I0001#");
    document.SetCellText(0, 1, "#A%Q0001#");
    document.SetCellText(9, 0, "#1dol#");
    document.SetCellCode(9, 9, -2);
    std::ostringstream program;
    std::ostringstream text;
    ASSERT_TRUE(writeProgram(document, program, text));
    EXPECT_EQ(program.str().substr(40, 4), word(101));
    EXPECT_EQ(program.str().substr(436, 4), "\xFE\xFF\xFF\xFF");
    EXPECT_EQ(text.str(), "#A%I0001#\r\n" + lines(8) + "#1dol#\r\n" + "#A%Q0001#\r\n" + lines(89));
}

TEST(ProgramFileTest, RoundTripKeepsEveryCodeAndEveryByteFrom32To255) {
    TempDir dir;
    LadderDocument original;
    original.AddRows(16);
    const std::int32_t odd[] = {0, 6, 65, 99, 150, 375, 1460, 99999, -1, INT_MIN, INT_MAX};
    int n = 0;
    for (int row = 0; row < original.rowCount(); ++row) {
        for (int col = 0; col < kColumns; ++col, ++n) {
            original.SetCellCode(row, col, n < 11 ? odd[n] : odd[n % 11] ^ n);
            std::string text;
            for (int i = 0; i < n % 70; ++i)
                text += static_cast<char>(32 + (n + i) % 224);
            original.SetCellText(row, col, text);
        }
    }
    // Polish letters in code page 1250, and a line far longer than old readers allowed.
    original.SetCellText(
        3, 4, "#1\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF#2\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF#");
    original.SetCellText(5, 5, std::string(5000, '\xFF'));
    ASSERT_EQ(SaveProgram(original, dir.file("p.jar")), FileResult::Success);

    LadderDocument loaded = busyDocument();
    ASSERT_EQ(LoadProgram(loaded, dir.file("p.jar")), FileResult::Success);
    LadderDocument expected = original;
    expected.setStatus(DocumentStatus::Loaded);
    EXPECT_TRUE(sameDocument(expected, loaded));

    ASSERT_EQ(SaveProgram(loaded, dir.file("q.jar")), FileResult::Success);
    EXPECT_EQ(readBytes(dir.file("p.jar")), readBytes(dir.file("q.jar")));
    EXPECT_EQ(readBytes(dir.file("p.jar.str")), readBytes(dir.file("q.jar.str")));
}

TEST(ProgramFileTest, LoadGivesTheFilesRowCountAndKeepsTheClipboard) {
    LadderDocument document = busyDocument();
    CopyRange(document, 0, 0, 0, 0);
    ASSERT_EQ(readProgram(document, header(12) + emptyRows(12), lines(120)), FileResult::Success);
    EXPECT_EQ(document.rowCount(), 12);
    EXPECT_EQ(document.CellCode(11, 9), 0);
    EXPECT_EQ(document.clipboard().texts.at(0), "#1old#");
    EXPECT_EQ(document.status(), DocumentStatus::Loaded);
}

struct DamagedCase {
    std::string name;
    std::string program;
    std::optional<std::string> text;
    FileResult result;
};

void PrintTo(const DamagedCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedFileTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedFileTest, GivesItsResultAndNeverMixesTwoPrograms) {
    const DamagedCase& c = GetParam();
    const LadderDocument before = busyDocument();
    LadderDocument document = before;
    const std::optional<std::string_view> text =
        c.text ? std::optional<std::string_view>(*c.text) : std::nullopt;
    EXPECT_EQ(readProgram(document, c.program, text), c.result);
    if (!programLoaded(c.result)) {
        EXPECT_TRUE(sameDocument(before, document));
        return;
    }
    for (int row = 0; row < document.rowCount(); ++row) {
        for (int col = 0; col < kColumns; ++col) {
            EXPECT_NE(document.CellText(row, col), "#1old#") << row << ", " << col;
            EXPECT_NE(document.CellCode(row, col), 7) << row << ", " << col;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFileTest,
    ::testing::Values(
        DamagedCase{"Empty", "", lines(10), FileResult::NotProgramFile},
        DamagedCase{"WrongMagic", word(69) + word(77) + word(85) + word(34) + word(0) + word(1),
                    lines(10), FileResult::NotProgramFile},
        DamagedCase{"ReservedNotZero", header(1, 1) + emptyRows(1), lines(10),
                    FileResult::NotProgramFile},
        DamagedCase{"CutInsideMagic", header(1).substr(0, 10), lines(10),
                    FileResult::NotProgramFile},
        DamagedCase{"CutInsideHeader", header(1).substr(0, 30), lines(10), FileResult::BadRowCount},
        DamagedCase{"ZeroRows", header(0), "", FileResult::BadRowCount},
        DamagedCase{"NegativeRows", header(-3) + emptyRows(1), lines(10), FileResult::BadRowCount},
        DamagedCase{"HugeRowCount", header(INT_MAX) + emptyRows(2), lines(20),
                    FileResult::BadRowCount},
        DamagedCase{"ShorterThanItsRowCount", header(3) + emptyRows(2) + word(1), lines(30),
                    FileResult::BadRowCount},
        DamagedCase{"TrailingBytesIgnored", header(1) + emptyRows(1) + "xyz", lines(10),
                    FileResult::Success},
        DamagedCase{"TextMissing", header(2) + emptyRows(2), std::nullopt,
                    FileResult::TextFileMissing},
        DamagedCase{"TextEmpty", header(2) + emptyRows(2), "", FileResult::TextFileShort},
        DamagedCase{"TextShort", header(2) + emptyRows(2), lines(19, "#Ax#"),
                    FileResult::TextFileShort},
        DamagedCase{"TextWithoutFinalLineEnd", header(1) + emptyRows(1), lines(9) + "#1a#",
                    FileResult::Success},
        DamagedCase{"TextLongLinesAndNoCarriageReturns", header(1) + emptyRows(1),
                    std::string(100000, 'x') + "\n" + lines(9), FileResult::Success}),
    [](const ::testing::TestParamInfo<DamagedCase>& param) { return param.param.name; });

TEST(ProgramFileTest, ControlBytesAreDroppedAndLineFeedAloneEndsALine) {
    LadderDocument document;
    ASSERT_EQ(readProgram(document, header(1) + emptyRows(1),
                          std::string("#A\x01%I\t0001#\r\r\n#1\xB3\xF3\x64\xBC#\n") + lines(8)),
              FileResult::Success);
    EXPECT_EQ(document.CellText(0, 0), "#A%I0001#");
    EXPECT_EQ(document.CellText(0, 1), "#1\xB3\xF3\x64\xBC#");
}

TEST(ProgramFileTest, LineFeedInsideATextCannotShiftTheOtherCells) {
    LadderDocument document;
    document.SetCellText(0, 0, "#1a\nb#");
    document.SetCellText(0, 1, "#1c#");
    std::ostringstream program;
    std::ostringstream text;
    ASSERT_TRUE(writeProgram(document, program, text));
    LadderDocument loaded;
    ASSERT_EQ(readProgram(loaded, program.str(), text.str()), FileResult::Success);
    EXPECT_EQ(loaded.CellText(0, 0), "#1ab#");
    EXPECT_EQ(loaded.CellText(0, 1), "#1c#");
}

TEST(ProgramFileTest, MissingOrUnreadableFileIsReportedAndChangesNothing) {
    TempDir dir;
    LadderDocument document = busyDocument();
    const LadderDocument before = document;
    EXPECT_EQ(LoadProgram(document, dir.file("brak.jar")), FileResult::CannotOpen);
    // Neither a folder nor a pipe that nobody writes to may be read as a program (or hang).
    EXPECT_EQ(LoadProgram(document, dir.path()), FileResult::CannotOpen);
    ASSERT_EQ(::mkfifo(dir.file("fifo.jar").c_str(), 0600), 0);
    EXPECT_EQ(LoadProgram(document, dir.file("fifo.jar")), FileResult::CannotOpen);
    EXPECT_TRUE(sameDocument(before, document));
}

TEST(ProgramFileTest, DeletedTextFileGivesEmptyTextsNotOldOnes) {
    TempDir dir;
    LadderDocument document;
    document.SetCellText(0, 0, "#A%I0001#");
    ASSERT_EQ(SaveProgram(document, dir.file("a.jar")), FileResult::Success);
    std::filesystem::remove(dir.file("a.jar.str"));
    LadderDocument loaded = busyDocument();
    EXPECT_EQ(LoadProgram(loaded, dir.file("a.jar")), FileResult::TextFileMissing);
    EXPECT_EQ(loaded.rowCount(), 10);
    EXPECT_EQ(loaded.CellText(0, 0), "");
    EXPECT_EQ(loaded.status(), DocumentStatus::Loaded);
}

TEST(ProgramFileTest, FailedSaveKeepsThePreviousFilesAndStatus) {
    TempDir dir;
    LadderDocument good;
    good.SetCellCode(0, 0, 1);
    ASSERT_EQ(SaveProgram(good, dir.file("a.jar")), FileResult::Success);
    const std::string goodProgram = readBytes(dir.file("a.jar"));
    // The text file's place is taken by a folder that cannot be replaced.
    std::filesystem::remove(dir.file("a.jar.str"));
    std::filesystem::create_directories(dir.file("a.jar.str") / "inside");

    LadderDocument changed;
    changed.AddRows(5);
    changed.setStatus(DocumentStatus::Modified);
    EXPECT_EQ(SaveProgram(changed, dir.file("a.jar")), FileResult::CannotWrite);
    EXPECT_EQ(readBytes(dir.file("a.jar")), goodProgram);
    EXPECT_EQ(changed.status(), DocumentStatus::Modified);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
        << "temporary files must not be left behind";

    EXPECT_EQ(SaveProgram(changed, dir.file("brak") / "a.jar"), FileResult::CannotWrite);
}

TEST(ProgramFileTest, ProgramFileThatCannotBeReplacedKeepsTheOldTextFile) {
    TempDir dir;
    LadderDocument good;
    good.SetCellText(0, 0, "#A%I0001#");
    ASSERT_EQ(SaveProgram(good, dir.file("b.jar")), FileResult::Success);
    const std::string goodText = readBytes(dir.file("b.jar.str"));
    // The program file's place is taken by a folder, found only after the text file is done.
    std::filesystem::remove(dir.file("b.jar"));
    std::filesystem::create_directories(dir.file("b.jar") / "inside");
    std::filesystem::create_directories(dir.file("c.jar") / "inside");

    LadderDocument changed;
    changed.SetCellText(0, 0, "#A%Q0002#");
    EXPECT_EQ(SaveProgram(changed, dir.file("b.jar")), FileResult::CannotWrite);
    EXPECT_EQ(readBytes(dir.file("b.jar.str")), goodText);
    EXPECT_EQ(SaveProgram(changed, dir.file("c.jar")), FileResult::CannotWrite);
    EXPECT_FALSE(std::filesystem::exists(dir.file("c.jar.str")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3)
        << "temporary or set-aside files must not be left behind";
}

TEST(ProgramFileTest, SavingOverAProgramReplacesBothFilesAndLeavesNothingElse) {
    TempDir dir;
    LadderDocument first;
    first.SetCellText(0, 0, "#A%I0001#");
    ASSERT_EQ(SaveProgram(first, dir.file("d.jar")), FileResult::Success);
    LadderDocument second;
    second.AddRows(2);
    second.SetCellText(0, 0, "#A%Q0002#");
    ASSERT_EQ(SaveProgram(second, dir.file("d.jar")), FileResult::Success);
    LadderDocument loaded;
    ASSERT_EQ(LoadProgram(loaded, dir.file("d.jar")), FileResult::Success);
    EXPECT_EQ(loaded.rowCount(), 12);
    EXPECT_EQ(loaded.CellText(0, 0), "#A%Q0002#");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(ProgramFileTest, LongFileNamesWork) {
    TempDir dir;
    const std::filesystem::path folder = dir.file(std::string(120, 'k'));
    std::filesystem::create_directories(folder);
    const std::filesystem::path name = folder / (std::string(150, 'p') + ".jar");
    LadderDocument document;
    document.SetCellText(0, 0, "#1\xB3\xF3\x64\xBC#");
    ASSERT_EQ(SaveProgram(document, name), FileResult::Success);
    LadderDocument loaded;
    ASSERT_EQ(LoadProgram(loaded, name), FileResult::Success);
    EXPECT_EQ(loaded.CellText(0, 0), "#1\xB3\xF3\x64\xBC#");
}

TEST(ProgramFileTest, SavingThroughLinksReplacesTheFilesTheyPointToAndKeepsTheLinks) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("prawdziwe"));
    LadderDocument old;
    old.SetCellText(0, 0, "#A%I0001#");
    ASSERT_EQ(SaveProgram(old, dir.file("prawdziwe") / "p.jar"), FileResult::Success);
    // The program through a chain of two links, one of them relative; its text file through
    // one absolute link.
    std::filesystem::create_symlink("prawdziwe/p.jar", dir.file("m.jar"));
    std::filesystem::create_symlink("m.jar", dir.file("l.jar"));
    std::filesystem::create_symlink(dir.file("prawdziwe") / "p.jar.str", dir.file("l.jar.str"));

    LadderDocument changed;
    changed.AddRows(2);
    changed.SetCellText(0, 0, "#A%Q0002#");
    ASSERT_EQ(SaveProgram(changed, dir.file("l.jar")), FileResult::Success);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("l.jar")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("m.jar")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("l.jar.str")));
    LadderDocument loaded;
    ASSERT_EQ(LoadProgram(loaded, dir.file("prawdziwe") / "p.jar"), FileResult::Success);
    EXPECT_EQ(loaded.rowCount(), 12);
    EXPECT_EQ(loaded.CellText(0, 0), "#A%Q0002#");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("prawdziwe")), {}), 2)
        << "temporary files must not be left behind";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);

    // A link to a file that does not exist yet makes that file.
    std::filesystem::create_symlink("prawdziwe/nowy.jar", dir.file("n.jar"));
    ASSERT_EQ(SaveProgram(changed, dir.file("n.jar")), FileResult::Success);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("n.jar")));
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("prawdziwe") / "nowy.jar"));
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("n.jar.str")));
}

TEST(ProgramFileTest, ReplacedFilesKeepTheirPermissionBits) {
    TempDir dir;
    LadderDocument document;
    ASSERT_EQ(SaveProgram(document, dir.file("tajny.jar")), FileResult::Success);
    using std::filesystem::perms;
    std::filesystem::permissions(dir.file("tajny.jar"), perms::owner_read | perms::owner_write);
    std::filesystem::permissions(dir.file("tajny.jar.str"),
                                 perms::owner_read | perms::owner_write | perms::group_read);
    document.SetCellText(0, 0, "#1tajne#");
    ASSERT_EQ(SaveProgram(document, dir.file("tajny.jar")), FileResult::Success);
    EXPECT_EQ(std::filesystem::status(dir.file("tajny.jar")).permissions(),
              perms::owner_read | perms::owner_write);
    EXPECT_EQ(std::filesystem::status(dir.file("tajny.jar.str")).permissions(),
              perms::owner_read | perms::owner_write | perms::group_read);
}

struct SaveFailureCase {
    std::string name;
    std::function<std::filesystem::path(const TempDir&)> prepare;  // returns the name saved to
    std::string reason;
};

void PrintTo(const SaveFailureCase& c, std::ostream* os) {
    *os << c.name;
}

class SaveFailureTest : public ::testing::TestWithParam<SaveFailureCase> {};

TEST_P(SaveFailureTest, SaysWhyInTheMessage) {
    TempDir dir;
    const std::filesystem::path name = GetParam().prepare(dir);
    if (name.empty()) {
        GTEST_SKIP() << "the superuser may write into a read-only folder: nothing can fail here";
    }
    LadderDocument document;
    std::error_code reason;
    ASSERT_EQ(SaveProgram(document, name, reason), FileResult::CannotWrite);
    EXPECT_EQ(fileResultMessage(FileResult::CannotWrite, "a.jar", reason),
              "Nie można zapisać pliku a.jar: " + GetParam().reason +
                  "; poprzednia wersja pozostała bez zmian.");
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, SaveFailureTest,
    ::testing::Values(
        SaveFailureCase{"MissingFolder",
                        [](const TempDir& dir) { return dir.file("brak") / "a.jar"; },
                        "nie ma takiego folderu"},
        SaveFailureCase{"PathThroughAFile",
                        [](const TempDir& dir) {
                            writeBytes(dir.file("plik"), "x");
                            return dir.file("plik") / "a.jar";
                        },
                        "część ścieżki nie jest folderem"},
        SaveFailureCase{"FolderInThePlace",
                        [](const TempDir& dir) {
                            std::filesystem::create_directories(dir.file("a.jar"));
                            return dir.file("a.jar");
                        },
                        "w tym miejscu jest folder"},
        SaveFailureCase{"LinkLoop",
                        [](const TempDir& dir) {
                            std::filesystem::create_symlink("b.jar", dir.file("a.jar"));
                            std::filesystem::create_symlink("a.jar", dir.file("b.jar"));
                            return dir.file("a.jar");
                        },
                        "zapętlone dowiązania symboliczne"},
        SaveFailureCase{"NameTooLong",
                        [](const TempDir& dir) { return dir.file(std::string(300, 'x') + ".jar"); },
                        "za długa nazwa pliku"},
        SaveFailureCase{"ReadOnlyFolder",
                        [](const TempDir& dir) {
                            if (::geteuid() == 0) {
                                return std::filesystem::path();
                            }
                            std::filesystem::create_directories(dir.file("ro"));
                            std::filesystem::permissions(dir.file("ro"),
                                                         std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::owner_exec);
                            return dir.file("ro") / "a.jar";
                        },
                        "brak uprawnień"}),
    [](const ::testing::TestParamInfo<SaveFailureCase>& param) { return param.param.name; });

}  // namespace
}  // namespace document
