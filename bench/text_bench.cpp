// Text measuring and drawing speed: 100 KB of mixed Latin and Cyrillic text, measured as whole runs,
// broken into 551-pixel lines with fit counts, and drawn line by line onto a 551-pixel-wide bitmap.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/font.h"

using namespace platform;

namespace {

constexpr int kLineWidth = 551;

const std::u16string& SampleText()
{
    static const std::u16string text = [] {
        const char16_t* words[] = {u"the",        u"information", u"window",  u"shows",    u"pages",
                                   u"of",         u"results",     u"Турнир",  u"года",     u"победители",
                                   u"статистика", u"игры",        u"lorem",   u"ipsum",    u"dolor",
                                   u"и",          u"в",           u"Москва,", u"команда.", u"2006"};
        std::u16string s;
        unsigned seed = 12345;
        while (s.size() < 100 * 1024) {
            seed = seed * 1103515245u + 12345u;
            s += words[(seed >> 16) % (sizeof(words) / sizeof(words[0]))];
            s += u' ';
        }
        return s;
    }();
    return text;
}

Font BenchFont()
{
    LogFont lf;
    lf.Name = "Arial";
    lf.Height = -13;
    return Font(lf);
}

// Splits the sample into lines of at most kLineWidth pixels at blanks, as layout does with fit counts.
std::vector<std::pair<int, int>> BreakLines(Canvas& c)
{
    const std::u16string& text = SampleText();
    std::vector<std::pair<int, int>> lines;
    int pos = 0;
    const int n = int(text.size());
    while (pos < n) {
        int fit = 0;
        c.GetTextExtentExPointW(text.data() + pos, std::min(n - pos, 400), kLineWidth, &fit, nullptr);
        int end = pos + fit;
        if (end < n) {
            int back = end;
            while (back > pos && text[back] != u' ')
                --back;
            if (back > pos)
                end = back;
        }
        if (end == pos)
            end = pos + 1;
        lines.emplace_back(pos, end - pos);
        pos = end;
        while (pos < n && text[pos] == u' ')
            ++pos;
    }
    return lines;
}

void BM_ExtentOfRuns(benchmark::State& state)
{
    Canvas c;
    c.SetFont(BenchFont());
    const std::u16string& text = SampleText();
    const int runLength = int(state.range(0));
    for (auto _ : state) {
        long long total = 0;
        for (int pos = 0; pos < int(text.size()); pos += runLength) {
            const int n = std::min(runLength, int(text.size()) - pos);
            total += c.GetTextExtentPoint32W(text.data() + pos, n).cx;
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_ExtentOfRuns)->Arg(16)->Arg(256);

void BM_FitLines(benchmark::State& state)
{
    Canvas c;
    c.SetFont(BenchFont());
    for (auto _ : state) {
        auto lines = BreakLines(c);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * SampleText().size() * 2);
}
BENCHMARK(BM_FitLines);

void BM_TextOutLines(benchmark::State& state)
{
    Canvas measure;
    measure.SetFont(BenchFont());
    const auto lines = BreakLines(measure);
    Bitmap bitmap(kLineWidth, 400);
    Canvas& c = bitmap.GetCanvas();
    c.SetFont(BenchFont());
    c.SetBkMode(TRANSPARENT);
    c.SetTextAlign(TA_BASELINE);
    const std::u16string& text = SampleText();
    const int lineHeight = c.GetTextMetrics().tmHeight;
    for (auto _ : state) {
        bitmap.Fill(clWhite);
        int y = lineHeight;
        for (const auto& [start, length] : lines) {
            c.TextOutW(0, y, text.data() + start, length);
            y += lineHeight;
            if (y > 400)
                y = lineHeight;
        }
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
    state.counters["lines"] = double(lines.size());
}
BENCHMARK(BM_TextOutLines)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
