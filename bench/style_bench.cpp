// Style engine speed: the sheet parser over a large generated sheet, and the cascade of many elements
// against a sheet of many rules.
#include <cstdlib>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/application.h"
#include "style/propstack.h"
#include "style/sheetparser.h"
#include "style/stylelist.h"

namespace {

// A sheet of about the given size that looks like real ones: tags, classes, ids, contextual selectors,
// selector lists, shorthands, comments and at-rules.
std::string MakeSheet(std::size_t bytes)
{
    static const char* const tags[] = {"p", "div", "span", "td", "li", "a", "h1", "h2", "table", "ul"};
    std::string s;
    int i = 0;
    while (s.size() < bytes) {
        const char* t = tags[i % 10];
        switch (i % 8) {
        case 0: s += std::string(t) + ".c" + std::to_string(i) + " { color: #" + std::to_string(100000 + i % 899999) + "; margin: 2px 4px }\n"; break;
        case 1: s += "#id" + std::to_string(i) + " { background: url(img" + std::to_string(i) + ".gif) no-repeat right top #fff }\n"; break;
        case 2: s += std::string("div ") + t + ".k" + std::to_string(i) + " { font: italic bold 12px/1.4 \"Times New Roman\", serif }\n"; break;
        case 3: s += std::string(t) + ".x" + std::to_string(i) + ", " + t + ".y" + std::to_string(i) + " { border: 1px solid rgb(10, 20, 30) }\n"; break;
        case 4: s += "/* section " + std::to_string(i) + " */ .n" + std::to_string(i) + ":hover { text-decoration: underline }\n"; break;
        case 5: s += "@media screen { ." + std::string("m") + std::to_string(i) + " { padding: 1em } }\n"; break;
        case 6: s += "@media print { .p" + std::to_string(i) + " { display: none } }\n"; break;
        default: s += "ul li.l" + std::to_string(i) + " { list-style: square; line-height: 150% }\n"; break;
        }
        ++i;
    }
    return s;
}

void EnsurePlatform()
{
    static int argc = 1;
    static char name[] = "style_bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // measuring needs no display
    static platform::Application app(argc, argv);
}

// The argument is the sheet size in KB: 200 is the target, 2000 shows that the cost stays linear.
void BM_ParseSheet(benchmark::State& state)
{
    EnsurePlatform();
    std::string sheet = MakeSheet(std::size_t(state.range(0)) * 1024);
    for (auto _ : state) {
        TStyleList styles;
        ParseStyleSheetText(styles, sheet, "");
        benchmark::DoNotOptimize(styles.Count());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(sheet.size()));
}
BENCHMARK(BM_ParseSheet)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

// 10,000 elements, four deep below body, against 2,000 rules of which only a few concern them.
void BM_Combine10000Against2000Rules(benchmark::State& state)
{
    EnsurePlatform();
    std::string sheet;
    static const char* const tags[] = {"p", "div", "span", "td", "li", "a", "h1", "h2", "table", "ul"};
    const int ruleCount = int(state.range(0));
    for (int i = 0; i < ruleCount; ++i) {
        const char* t = tags[i % 10];
        switch (i % 4) {
        case 0: sheet += std::string(t) + ".c" + std::to_string(i) + " { color: red }\n"; break;
        case 1: sheet += "#id" + std::to_string(i) + " { margin-left: 3px }\n"; break;
        case 2: sheet += std::string("div ") + t + ".k" + std::to_string(i) + " { font-weight: bold }\n"; break;
        default: sheet += std::string("body ") + t + ".b" + std::to_string(i) + " { font-size: 110% }\n"; break;
        }
    }
    // A few rules that every element meets.
    sheet += "p { margin-top: 4px } body p { color: blue } div span { font-style: italic } td { padding: 2px }\n";
    TStyleList styles;
    styles.LoadDefaults("Times New Roman", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF, true, 1, 5, 10);
    ParseStyleSheetText(styles, sheet, "");
    TPropStack stack;
    styles.PropStack = &stack;
    auto bottom = std::make_unique<TProperties>();
    bottom->InitFromDefault(*styles.DefaultProps);
    stack.Add(std::move(bottom));
    const std::string empty;
    auto push = [&](const std::string& tag, const std::string& cls, const std::string& id) {
        auto p = std::make_unique<TProperties>();
        p->Inherit(tag, stack.Top());
        TProperties& r = *stack.Add(std::move(p));
        r.Combine(styles, tag, cls, id, empty, empty, nullptr);
    };
    push("body", "", "");
    push("div", "main", "");
    const std::string elemTags[] = {"p", "span", "td", "li", "b"};
    std::string classes[50];
    for (int i = 0; i < 50; ++i)
        classes[i] = i % 5 == 0 ? "c" + std::to_string(i * 40) : i % 5 == 1 ? "k" + std::to_string(i * 40 + 2) : "";
    for (auto _ : state) {
        for (int e = 0; e < 10000; ++e) {
            push(elemTags[e % 5], classes[e % 50], e % 97 == 0 ? "id" + std::to_string(e % 2000) : empty);
            stack.Delete(stack.Count() - 1);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 10000);
}
// 2,000 rules is the target; 20,000 shows that unrelated rules cost nothing.
BENCHMARK(BM_Combine10000Against2000Rules)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
