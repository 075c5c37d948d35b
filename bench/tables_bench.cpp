// A table-heavy 1 MB page (written by bench/make_tables_page.py: about 1,800 tables of 5 to 20 rows, some
// nested three deep, with spans, percentage and pixel widths, text in every cell): open + build + format +
// first paint at 551 pixels and a reformat at 900 pixels; and one long table of 1,000 and of 10,000 rows,
// whose cost should grow with the rows and no faster.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/application.h"
#include "viewer/docrender.h"

namespace {

std::string Generate(const std::string& arguments)
{
    std::string text;
    const std::string command =
        std::string("python3 \"") + VEXA_SOURCE_DIR + "/bench/make_tables_page.py\"" + arguments;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[65536];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
            text.append(buf, n);
        pclose(pipe);
    }
    return text;
}

const std::string& Page()
{
    static const std::string page = Generate("");
    return page;
}

const std::string& LongTable(int rows)
{
    static std::map<int, std::string> pages;
    auto it = pages.find(rows);
    if (it == pages.end())
        it = pages.emplace(rows, Generate(" --rows " + std::to_string(rows))).first;
    return it->second;
}

void BM_TablesOpenFormatFirstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        DocumentRenderer doc;
        doc.Load(Page());
        doc.Format(551);
        benchmark::DoNotOptimize(doc.Paint(0, 385));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Page().size()));
}
BENCHMARK(BM_TablesOpenFormatFirstPaint)->Unit(benchmark::kMillisecond);

void BM_TablesReformat900(benchmark::State& state)
{
    DocumentRenderer doc;
    doc.Load(Page());
    doc.Format(551);
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.Format(900));
}
BENCHMARK(BM_TablesReformat900)->Unit(benchmark::kMillisecond);

// One table of state.range(0) rows: open, build, format and first paint.
void BM_LongTable(benchmark::State& state)
{
    const std::string& page = LongTable(int(state.range(0)));
    for (auto _ : state) {
        DocumentRenderer doc;
        doc.Load(page);
        doc.Format(551);
        benchmark::DoNotOptimize(doc.Paint(0, 385));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LongTable)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// The layout alone of one table of state.range(0) rows (formatted again at another width each time).
void BM_LongTableFormat(benchmark::State& state)
{
    DocumentRenderer doc;
    doc.Load(LongTable(int(state.range(0))));
    int width = 551;
    for (auto _ : state) {
        width = width == 551 ? 552 : 551;
        benchmark::DoNotOptimize(doc.Format(width));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LongTableFormat)->Arg(1000)->Arg(3000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::Application app(argc, argv);
    if (Page().size() < 1000000) {
        std::fprintf(stderr, "bench/make_tables_page.py did not write the page\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
