// Running out of memory inside a load or an export. This test program links
// the replaced global operator new of failing_new.cpp and gives it a budget:
// once the budget is spent every further allocation fails, as when memory is
// really exhausted. The command must end with std::bad_alloc or
// CMemoryException (which the viewer reports as "Memoria insufficiente."),
// close its file, give back the rows of a load it could not finish, leave a
// report it was replacing as it was, and leak nothing. A real limit
// (RLIMIT_AS through the shell's ulimit) is put on the converter as well.
#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "core/cut_row_table.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "platform/file.h"
#include "tests/hardening/failing_new.h"
#include "tests/hardening/hardening_support.h"

namespace tresk::test {
namespace {

enum class Outcome { completed, outOfMemory, otherError };

// Runs command with only `allowed` allocations; what became of it.
template <typename Command>
Outcome WithAllocationBudget(long allowed, Command command) {
    Outcome outcome = Outcome::completed;
    failing_new::LimitCount(allowed);
    try {
        command();
    } catch (const std::bad_alloc&) {
        outcome = Outcome::outOfMemory;
    } catch (const CMemoryException&) {
        outcome = Outcome::outOfMemory;
    } catch (...) {
        outcome = Outcome::otherError;
    }
    failing_new::Lift();
    return outcome;
}

TEST(OutOfMemory, ALoadThatRunsOutOfMemoryEndsCleanlyAtEveryAllocation) {
    const TempDir dir;
    for (const int format : {kFormatNew, kFormatOld, kFormatMem}) {
        SCOPED_TRACE("layout " + std::to_string(format));
        const std::string path = dir.Write("lista.PRG", MultiRecordCutList(format));
        MemoryCutRowTable full;
        LoadCutList(path, format, full);
        ASSERT_EQ(full.GetItemCount(), kMultiRecordRows);
        const int descriptors = CountOpenDescriptors();

        long allowed = 0;
        for (;; ++allowed) {
            ASSERT_LT(allowed, 10000) << "the load never completes";
            MemoryCutRowTable table;
            const Outcome outcome =
                WithAllocationBudget(allowed, [&] { LoadCutList(path, format, table); });
            ASSERT_NE(outcome, Outcome::otherError) << "after " << allowed << " allocations";
            EXPECT_EQ(CountOpenDescriptors(), descriptors);
            // A load cut short by memory leaves no rows behind, and a fresh
            // load fills the table completely.
            if (outcome == Outcome::outOfMemory) {
                EXPECT_EQ(table.GetItemCount(), 0);
            }
            LoadCutList(path, format, table);
            EXPECT_EQ(table.GetItemCount(), kMultiRecordRows);
            if (outcome == Outcome::completed) {
                break;
            }
        }
        std::printf(
            "layout %d: load completes with %ld allocations; every failure before "
            "it ends cleanly\n",
            format, allowed);
    }
}

TEST(OutOfMemory, AnExportThatRunsOutOfMemoryClosesItsFile) {
    const TempDir dir;
    const std::string path = dir.Write("lista.PRG", MultiRecordCutList(kFormatNew));
    MemoryCutRowTable table;
    LoadCutList(path, kFormatNew, table);
    const std::string report = dir.File("rapporto.txt");
    SaveTextReport(table, report);
    const std::string whole = ReadWhole(report);
    const int descriptors = CountOpenDescriptors();

    long allowed = 0;
    for (;; ++allowed) {
        ASSERT_LT(allowed, 10000) << "the export never completes";
        const Outcome outcome =
            WithAllocationBudget(allowed, [&] { SaveTextReport(table, report); });
        ASSERT_NE(outcome, Outcome::otherError) << "after " << allowed << " allocations";
        EXPECT_EQ(CountOpenDescriptors(), descriptors);
        EXPECT_EQ(ReadWhole(report), whole);
        EXPECT_EQ(dir.Entries().size(), 2U);
        if (outcome == Outcome::completed) {
            break;
        }
    }
}

#if defined(TRESK_DUMP) && !defined(TRESK_UNDER_ASAN)
// A real address-space limit on the converter (the address sanitizer needs
// terabytes of address space, so this one runs in the plain build only): a
// file of 400,000 valid records needs far more than the limit leaves, and the
// converter must say "Memoria insufficiente." and exit 1, not crash.
TEST(OutOfMemory, TheConverterUnderARealMemoryLimitReportsIt) {
    const TempDir dir;
    const Bytes ones(std::size_t{1000000} * 54, 0x01);
    const std::string path = dir.Write("grande.PRG", ones);
    const RunResult run = RunShell(ShellQuote(TRESK_DUMP) + " -o /dev/null " + ShellQuote(path),
                                   dir, "ulimit -v 40000; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "treskdump: Memoria insufficiente.\n");

    // Without the limit the same file converts.
    const RunResult free =
        RunShell(ShellQuote(TRESK_DUMP) + " -o /dev/null " + ShellQuote(path), dir);
    EXPECT_EQ(free.status, 0) << free.err;
}
#endif

}  // namespace
}  // namespace tresk::test
