// Formatting and painting speed of a long document: 2,000 styled paragraphs (about 1 MB of text) formatted
// at 551 and at 900 pixels, one 551 x 385 screen painted from the middle, and the character lookup under
// the mouse along a line.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "layout/sectionlist.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "viewer/docrender.h"

namespace {

// 2,000 paragraphs of about 500 characters with bold, italic, links, a span with a colour, and headings
// every 50 paragraphs, styled by a small sheet.
const std::string& Paragraphs()
{
    static const std::string html = [] {
        const char* words[] = {"the",   "information", "window", "shows", "pages",  "of",      "results",
                               "tournament", "winners", "statistics", "game", "lorem", "ipsum", "dolor",
                               "and",   "in",          "city,",  "team.", "2006",   "season", "players"};
        std::string s = "<html><head><style>p { margin: 6px 0 } .note { color: #336699 } h2 { color: navy }"
                        "</style></head><body>";
        unsigned seed = 12345;
        auto word = [&] {
            seed = seed * 1103515245u + 12345u;
            return words[(seed >> 16) % (sizeof(words) / sizeof(words[0]))];
        };
        for (int p = 0; p < 2000; ++p) {
            if (p % 50 == 0)
                s += "<h2>Chapter " + std::to_string(p / 50 + 1) + "</h2>";
            s += "<p>";
            std::size_t start = s.size();
            int n = 0;
            while (s.size() - start < 480) {
                std::string w = word();
                switch (++n % 23) {
                case 3: s += "<b>" + w + "</b> "; break;
                case 9: s += "<i>" + w + "</i> "; break;
                case 14: s += "<a href=\"page" + std::to_string(n) + ".htm\">" + w + "</a> "; break;
                case 19: s += "<span class=note>" + w + "</span> "; break;
                default: s += w + " ";
                }
            }
            s += "</p>\n";
        }
        s += "</body></html>";
        return s;
    }();
    return html;
}

DocumentRenderer& Loaded()
{
    static DocumentRenderer* doc = [] {
        auto* d = new DocumentRenderer;
        d->Load(Paragraphs());
        return d;
    }();
    return *doc;
}

void BM_Format(benchmark::State& state)
{
    DocumentRenderer& doc = Loaded();
    const int width = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.Format(width));
    state.counters["height"] = doc.Height();
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Paragraphs().size()));
}
BENCHMARK(BM_Format)->Arg(551)->Arg(900)->Unit(benchmark::kMillisecond);

void BM_PaintScreen(benchmark::State& state)
{
    DocumentRenderer& doc = Loaded();
    const int height = doc.Format(551);
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.Paint(height / 2, 385));
}
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);

void BM_CursorAlongLine(benchmark::State& state)
{
    DocumentRenderer& doc = Loaded();
    const int height = doc.Format(551);
    doc.Paint(height / 2, 385);  // hit tests answer for the lines as last painted
    const int y = height / 2 + 100;
    int x = 10;
    for (auto _ : state) {
        int XR = 0, YR = 0, caret = 0;
        bool inText = false;
        benchmark::DoNotOptimize(doc.Root().CursorAt(&doc.MeasureCanvas(), x, y, XR, YR, caret, inText));
        x = x >= 540 ? 10 : x + 7;
    }
}
BENCHMARK(BM_CursorAlongLine)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
