// The HTML scanner over a 5 MB generated page of mixed markup and Cyrillic text in Windows-1251:
// every symbol read, every text run converted to UTF-16 with its source indices. The same page written
// in UTF-8 (no declaration) shows what telling undeclared UTF-8 apart costs beside a scan.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "reader/scanner.h"

namespace {

std::string MakePage(std::size_t size)
{
    // Cyrillic words in 1251 (А..я are C0..FF), with some Latin and numbers.
    std::mt19937 rng(2026);
    auto word = [&] {
        std::string w;
        const int n = 2 + int(rng() % 9);
        for (int i = 0; i < n; ++i)
            w += char(0xC0 + rng() % 64);
        return w;
    };
    static const char* const tags[] = {
        "<p class=\"text\">", "</p>", "<b>", "</b>", "<a href=\"../2003/about2003.html\" target=_top>", "</a>",
        "<td width=50% align=center bgcolor=#FFEECC>", "</td>", "<tr>", "</tr>", "<br>",
        "<font face=\"Arial, Helvetica\" size=+1 color=red>", "</font>", "<!-- comment -->",
        "<img src=\"images/pic.gif\" width=120 height=80 alt=\"Картинка\" border=0>", "&nbsp;", "&laquo;",
        "&#8212;", "\r\n",
    };
    std::string page = "<html><head><title>Статистика</title></head><body>\r\n";
    while (page.size() < size) {
        const unsigned r = rng() % 10;
        if (r < 3)
            page += tags[rng() % std::size(tags)];
        else if (r < 4)
            page += std::to_string(rng() % 100000);
        else
            page += word();
        page += ' ';
    }
    page += "</body></html>";
    return page;
}

void BM_ScanCyrillicPage(benchmark::State& state)
{
    const std::string page = MakePage(5 * 1024 * 1024);
    THtmlScanner scanner;
    long long symbols = 0;
    for (auto _ : state) {
        scanner.StartParse(page, 1251);
        scanner.ReadChar();
        do {
            scanner.Next();
            ++symbols;
            benchmark::DoNotOptimize(scanner.Token.Count());
        } while (scanner.Sy != EofSy);
    }
    state.SetBytesProcessed(state.iterations() * (long long)page.size());
    state.counters["symbols"] = benchmark::Counter(double(symbols) / double(state.iterations()));
}
BENCHMARK(BM_ScanCyrillicPage)->Unit(benchmark::kMillisecond);

void BM_CountingPass(benchmark::State& state)
{
    const std::string page = MakePage(5 * 1024 * 1024);
    THtmlScanner scanner;
    for (auto _ : state) {
        scanner.StartParse(page, 1251);
        scanner.Counting = true;
        scanner.ReadChar();
        do
            scanner.Next();
        while (scanner.Sy != EofSy);
    }
    state.SetBytesProcessed(state.iterations() * (long long)page.size());
}
BENCHMARK(BM_CountingPass)->Unit(benchmark::kMillisecond);

// The page with its 1251 letters (C0..FF, А..я) written as UTF-8 (U+0410..U+044F) and every other
// byte above 7F as the character of the same value, so that the whole page is valid UTF-8.
std::string ToUtf8(const std::string& page)
{
    std::string out;
    out.reserve(page.size() * 2);
    for (char ch : page) {
        const unsigned c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
            continue;
        }
        const unsigned u = c < 0xC0 ? c : 0x410 + (c - 0xC0);
        out += char(0xC0 | (u >> 6));
        out += char(0x80 | (u & 0x3F));
    }
    return out;
}

void BM_ScanUtf8Page(benchmark::State& state)
{
    const std::string page = ToUtf8(MakePage(5 * 1024 * 1024));
    THtmlScanner scanner;
    for (auto _ : state) {
        scanner.StartParse(page, 65001);
        scanner.ReadChar();
        do {
            scanner.Next();
            benchmark::DoNotOptimize(scanner.Token.Count());
        } while (scanner.Sy != EofSy);
    }
    state.SetBytesProcessed(state.iterations() * (long long)page.size());
}
BENCHMARK(BM_ScanUtf8Page)->Unit(benchmark::kMillisecond);

void BM_CountingPassUtf8(benchmark::State& state)
{
    const std::string page = ToUtf8(MakePage(5 * 1024 * 1024));
    THtmlScanner scanner;
    for (auto _ : state) {
        scanner.StartParse(page, 65001);
        scanner.Counting = true;
        scanner.ReadChar();
        do
            scanner.Next();
        while (scanner.Sy != EofSy);
    }
    state.SetBytesProcessed(state.iterations() * (long long)page.size());
}
BENCHMARK(BM_CountingPassUtf8)->Unit(benchmark::kMillisecond);

// The one pass that tells an undeclared UTF-8 page: over the whole UTF-8 page, and over the 1251 page,
// where the first Cyrillic word ends it.
void BM_Utf8CheckUtf8Page(benchmark::State& state)
{
    const std::string page = ToUtf8(MakePage(5 * 1024 * 1024));
    if (!IsMultibyteUtf8(page))
        state.SkipWithError("the page is not UTF-8");
    for (auto _ : state)
        benchmark::DoNotOptimize(IsMultibyteUtf8(page));
    state.SetBytesProcessed(state.iterations() * (long long)page.size());
}
BENCHMARK(BM_Utf8CheckUtf8Page)->Unit(benchmark::kMillisecond);

void BM_Utf8Check1251Page(benchmark::State& state)
{
    const std::string page = MakePage(5 * 1024 * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(IsMultibyteUtf8(page));
}
BENCHMARK(BM_Utf8Check1251Page)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
