// Opening a real-looking 1 MB page (written by bench/make_page.py: a sheet, headings, paragraphs with
// bold, italic and linked words, lists, definition lists, rules): build + format + first paint at 551
// pixels, a reformat at a new width, and a one-line scroll (a repaint 16 pixels further down).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/application.h"
#include "platform/form.h"
#include "viewer/docrender.h"
#include "viewer/htmlviewer.h"

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

void BM_OpenFormatFirstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        DocumentRenderer doc;
        doc.Load(Page());
        doc.Format(551);
        benchmark::DoNotOptimize(doc.Paint(0, 385));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Page().size()));
}
BENCHMARK(BM_OpenFormatFirstPaint)->Unit(benchmark::kMillisecond);

void BM_Reformat(benchmark::State& state)
{
    DocumentRenderer doc;
    doc.Load(Page());
    int width = 551;
    for (auto _ : state) {
        width = width == 551 ? 700 : 551;
        benchmark::DoNotOptimize(doc.Format(width));
    }
}
BENCHMARK(BM_Reformat)->Unit(benchmark::kMillisecond);

void BM_ScrollOneLine(benchmark::State& state)
{
    DocumentRenderer doc;
    doc.Load(Page());
    const int height = doc.Format(551);
    int top = 0;
    for (auto _ : state) {
        top = top + 16 > height - 385 ? 0 : top + 16;
        benchmark::DoNotOptimize(doc.Paint(top, 385));
    }
}
BENCHMARK(BM_ScrollOneLine)->Unit(benchmark::kMillisecond);

// The same page through the viewer control itself, as the info window opens it: the previous document
// cleared, the page built and formatted with the scroll-bar decision, and the visible part painted.
void BM_ControlOpenFirstPaint(benchmark::State& state)
{
    platform::Form form;
    form.SetBounds(0, 0, 571, 405);
    THTMLViewer& viewer = form.Add<THTMLViewer>();
    viewer.SetBounds(0, 0, 551, 385);
    form.Show();
    platform::Application::Instance()->ProcessMessages();
    for (auto _ : state) {
        viewer.OpenString(Page(), "");
        viewer.Repaint();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Page().size()));
}
BENCHMARK(BM_ControlOpenFirstPaint)->Unit(benchmark::kMillisecond);

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
