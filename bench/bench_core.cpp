// Cost of turning a PRG cut list into rows and the rows into the text report,
// at 1,000, 100,000 and 1,000,000 records. Time per record comes out as the
// items/s rate; the complexity fit over the three sizes shows whether the cost
// stays linear. Peak memory is read from the kernel's high-water mark, reset
// before each benchmark, so each size reports its own peak.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "bench/proc_status.h"
#include "core/cut_row_table.h"
#include "core/prg_reader.h"
#include "core/text_report.h"

namespace {

namespace fs = std::filesystem;

// Big-endian fields of one layout-0 record (lead byte, 53-byte body).
void PutU24(std::string& out, std::uint32_t v) {
    out += static_cast<char>((v >> 16) & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}
void PutI16(std::string& out, int v) {
    const auto u = static_cast<std::uint16_t>(v);
    out += static_cast<char>(u >> 8);
    out += static_cast<char>(u & 0xFF);
}

// A layout-0 file of count records with varied values: 'S' marks on two rows
// in three, negative tenths, accented texts, so formatting does real work.
std::string MakePrg(int count) {
    static const char* const kTexts[] = {"Rossi",  "Citt\xE0", "Caff\xE8 Re", "80012345",
                                         "Telaio", "Montante", "Anta Sx",     ""};
    std::string data("\0\0\0", 3);
    data.reserve(3 + static_cast<std::size_t>(count) * 54 + 1);
    for (int i = 0; i < count; ++i) {
        const auto u = static_cast<std::uint32_t>(i);
        data += static_cast<char>(1 + i % 3);
        PutU24(data, 350 + (u * 173) % 5600);
        if (i % 3 != 2) {
            data += 'S';
            PutI16(data, 40 + i % 90);
        } else {
            PutU24(data, 1200 + (u * 311) % 4800);
        }
        PutI16(data, (i % 2 ? 450 : -225));
        PutI16(data, 900 - i % 1800);
        PutI16(data, 1 + i % 24);
        PutI16(data, 50 + i % 4 * 10);
        for (int t = 0; t < 4; ++t) {
            std::string text = kTexts[(i + t * 3) % 8];
            text.resize(8, '\0');
            data += text;
        }
        data.append("\0\1\0", 3);
        PutI16(data, 450);
        PutI16(data, -450);
    }
    data += '\0';
    return data;
}

// The input file for count records, written once per run into the temporary
// folder and removed at exit.
class Inputs {
public:
    ~Inputs() {
        std::error_code ignored;
        for (const auto& [count, path] : m_paths)
            fs::remove(path, ignored);
        fs::remove(ReportPath(), ignored);
    }
    const std::string& Get(int count) {
        auto it = m_paths.find(count);
        if (it == m_paths.end()) {
            const std::string path =
                (fs::temp_directory_path() / ("treskbench-" + std::to_string(count) + ".PRG"))
                    .string();
            std::ofstream(path, std::ios::binary) << MakePrg(count);
            it = m_paths.emplace(count, path).first;
        }
        return it->second;
    }
    static std::string ReportPath() {
        return (fs::temp_directory_path() / "treskbench-report.txt").string();
    }

private:
    std::map<int, std::string> m_paths;
};

Inputs g_inputs;

// Resets the peak resident size to the current one (Linux 4.0 and later).
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void Report(benchmark::State& state, int count, double rssBeforeKb) {
    state.SetItemsProcessed(state.iterations() * count);
    state.SetComplexityN(count);
    const double peakKb = StatusKb("VmHWM");
    state.counters["peak_MB"] = peakKb / 1024.0;
    state.counters["peak_B_per_rec"] = (peakKb - rssBeforeKb) * 1024.0 / count;
    // Records per second, inverted: seconds per record (printed as e.g. 690n).
    state.counters["time_per_rec"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// LoadCutList into a fresh in-memory table, then SaveTextReport: what
// treskdump does for one file.
void BM_DecodeAndReport(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string& path = g_inputs.Get(count);
    const std::string report = Inputs::ReportPath();
    ResetPeak();
    const double before = StatusKb("VmRSS");
    for (auto _ : state) {
        MemoryCutRowTable table;
        LoadCutList(path, 0, table);
        SaveTextReport(table, report);
        benchmark::DoNotOptimize(table.GetItemCount());
    }
    Report(state, count, before);
}

// The two halves on their own, to see which one a regression sits in.
void BM_Decode(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string& path = g_inputs.Get(count);
    ResetPeak();
    const double before = StatusKb("VmRSS");
    for (auto _ : state) {
        MemoryCutRowTable table;
        LoadCutList(path, 0, table);
        benchmark::DoNotOptimize(table.GetItemCount());
    }
    Report(state, count, before);
}

void BM_Report(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    MemoryCutRowTable table;
    LoadCutList(g_inputs.Get(count), 0, table);
    const std::string report = Inputs::ReportPath();
    ResetPeak();
    const double before = StatusKb("VmRSS");
    for (auto _ : state) {
        SaveTextReport(table, report);
    }
    Report(state, count, before);
}

// A bar code that is not in the list but whose first five characters are in
// a text of every eighth row, and whose first in many numbers: the search
// goes through every cell of every row and compares often.
constexpr const char* kMissingCode = "80012399";

// CPU time of the process in seconds: on a busy machine the wall clock
// would measure the other processes too.
double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The least CPU time of three loads of path into table, in seconds.
double LoadSeconds(const std::string& path, MemoryCutRowTable& table) {
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        const double start = CpuSeconds();
        LoadCutList(path, 0, table);
        best = std::min(best, CpuSeconds() - start);
    }
    return best;
}

// A search that finds nothing, from the top through every row, against the
// load of the same rows timed in the same run: find_per_load must stay at
// most 1.
void BM_FindNothing(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    MemoryCutRowTable table;
    const double load = LoadSeconds(g_inputs.Get(count), table);
    double found = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        benchmark::DoNotOptimize(table.FindRow(kMissingCode, -1));
        found += CpuSeconds() - start;
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetComplexityN(count);
    state.counters["find_per_load"] = found / static_cast<double>(state.iterations()) / load;
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)
        ->Arg(100000)
        ->Arg(1000000)
        ->Unit(benchmark::kMillisecond)
        ->Complexity(benchmark::oN);
}

}  // namespace

BENCHMARK(BM_DecodeAndReport)->Apply(Sizes);
BENCHMARK(BM_Decode)->Apply(Sizes);
BENCHMARK(BM_Report)->Apply(Sizes);
BENCHMARK(BM_FindNothing)->Apply(Sizes);

// "treskbench --write-prg N PATH" writes the N-record input file and exits:
// scripts/run-bench.sh times treskdump on it end to end. "treskbench
// --row-bytes PATH" loads a layout-0 file and prints the rows, the bytes the
// row store takes for them and the growth of the resident size. "treskbench
// --find-per-load PATH" prints the least time of three searches that find
// nothing in its rows over the least of three loads of them.
int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--write-prg") {
        std::ofstream out(argv[3], std::ios::binary);
        out << MakePrg(std::stoi(argv[2]));
        return out ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--row-bytes") {
        const double before = StatusKb("VmRSS");
        MemoryCutRowTable table;
        LoadCutList(argv[2], 0, table);
        const double after = StatusKb("VmRSS");
        std::printf("%d %zu %.0f\n", table.GetItemCount(), table.MemoryUsed(),
                    (after - before) * 1024.0);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--find-per-load") {
        MemoryCutRowTable table;
        const double load = LoadSeconds(argv[2], table);
        double find = 1e300;
        for (int i = 0; i < 3; ++i) {
            const double start = CpuSeconds();
            if (table.FindRow(kMissingCode, -1) != -1) {
                return 1;
            }
            find = std::min(find, CpuSeconds() - start);
        }
        std::printf("%.4f %.4f\n", find, load);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
