// libFuzzer target: the HTML scanner over arbitrary bytes, under every code page family, with and
// without an include handler, in the counting pass and in raw mode. Checks that every text run pairs
// each character with a source index inside the document.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/idobjects.h"
#include "reader/scanner.h"

namespace {

const int CodePages[] = {1251, 1252, 65001, 932, 936, 949, 950, 1361, 28592, 874};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t flags = data[0];
    std::string doc(reinterpret_cast<const char*>(data + 1), size - 1);

    THtmlScanner s;
    TIDNameList names(nullptr);
    s.IDNames = &names;
    if (flags & 0x10) {
        s.Include = [](const std::string& command, std::vector<std::string> params, std::string& text) {
            text = "<b>" + command + "</b>";
            for (const auto& p : params)
                text += p;
            if (command == "again")
                text += "<!--#again-->";
        };
    }
    int progress = 0;
    s.OnProgress = [&](int, int percent) {
        if (percent < 0 || percent > 100)
            std::abort();
        ++progress;
    };
    s.ProgressShare = 75;
    const int codePage = CodePages[(flags & 0x0F) % std::size(CodePages)];
    s.StartParse(doc, codePage);
    s.Counting = (flags & 0x20) != 0;
    s.RawMode = (flags & 0x40) != 0;
    const long long limit = (long long)s.DocumentSize() + 4;
    try {
        if (flags & 0x80)
            s.ConvertEucJp();
        s.ReadChar();
        for (int guard = 0; guard < 10000000; ++guard) {
            s.Next();
            if (s.Sy == TextSy) {
                for (int i = 0; i < s.Token.Count(); ++i)
                    if (s.Token.IndexAt(i) < -1 || s.Token.IndexAt(i) >= limit)
                        std::abort();
                (void)s.Token.Text();
            } else if (s.Sy != EofSy) {
                TAttributeList* list = s.Attributes();
                (void)list->ClassKey();
                (void)list->IdKey();
                (void)list->ToStringList();
            }
            if (s.Sy == EofSy)
                break;
        }
    } catch (const EParseError&) {
    }
    s.EndParse();
    return 0;
}
