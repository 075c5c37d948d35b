// Printing the 1 MB benchmark page (bench/make_page.py): the print copy built, formatted at the printable
// width of an A4 sheet with the default 2-inch margins and cut into pages; the pages written to a PDF file;
// and one sheet drawn as a preview picture.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/application.h"
#include "print/printdoc.h"

namespace {

const std::string& Page()
{
    static const std::string page = [] {
        std::string text;
        const std::string command = std::string("python3 \"") + VEXA_SOURCE_DIR + "/bench/make_page.py\"";
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buf[65536];
            std::size_t n;
            while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
                text.append(buf, n);
            pclose(pipe);
        }
        return text;
    }();
    return page;
}

std::string PdfName()
{
    return "/tmp/vexa_print_bench_" + std::to_string(::getpid()) + ".pdf";
}

void BM_BuildAndPaginate(benchmark::State& state)
{
    int pages = 0;
    for (auto _ : state) {
        TPrintDocument doc;
        doc.Load(Page(), false, THtmlHost{});
        pages = doc.Paginate(TPrintSettings{});
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_BuildAndPaginate)->Unit(benchmark::kMillisecond);

void BM_ExportPdf(benchmark::State& state)
{
    TPrintDocument doc;
    doc.Load(Page(), false, THtmlHost{});
    doc.Paginate(TPrintSettings{});
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.ExportPdf(PdfName(), error));
    std::remove(PdfName().c_str());
    state.counters["pages"] = doc.PageCount();
}
BENCHMARK(BM_ExportPdf)->Unit(benchmark::kMillisecond);

// What vexa-render --pdf does: build, paginate and export.
void BM_PageToPdf(benchmark::State& state)
{
    std::string error;
    for (auto _ : state) {
        TPrintDocument doc;
        doc.Load(Page(), false, THtmlHost{});
        doc.Paginate(TPrintSettings{});
        benchmark::DoNotOptimize(doc.ExportPdf(PdfName(), error));
    }
    std::remove(PdfName().c_str());
}
BENCHMARK(BM_PageToPdf)->Unit(benchmark::kMillisecond);

void BM_PreviewSheet(benchmark::State& state)
{
    TPrintDocument doc;
    doc.Load(Page(), false, THtmlHost{});
    doc.Paginate(TPrintSettings{});
    int index = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.RenderSheet(index, 96));
        index = (index + 37) % doc.PageCount();
    }
}
BENCHMARK(BM_PreviewSheet)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::Application app(argc, argv);
    if (Page().size() < 1000000) {
        std::fprintf(stderr, "bench/make_page.py did not write the page\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
