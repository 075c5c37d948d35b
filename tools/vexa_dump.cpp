// vexa-dump: shows what the engine makes of a file.
//
//   vexa-dump tokens FILE [--charset N | --codepage N]
//       every symbol the scanner reads, with its attributes (name, symbol, value text, number, code page),
//       and every text run as UTF-8 with the source index of each character. --charset takes a font
//       character set (204 Cyrillic, 128 Shift-JIS, 30 EUC-JP …), --codepage a code page (1251, 65001 …).
//
//   vexa-dump sheet FILE
//       the rules the style-sheet parser stores, by key, with their property values. FILE is a style sheet,
//       or a page whose STYLE elements are read one after the other.
//
//   vexa-dump picture FILE [--frames DIR]
//       kind, size and frames (geometry, delay, disposal, transparency) of a picture, or the error the
//       decoder raised; with --frames every frame after disposal is written to DIR as a PNG.
//
//   vexa-dump layout FILE [--width N] [--height H] [--text]
//       the page built and formatted at width N (default 551): every item with its kind and document
//       rectangle, every text line with its baseline, left edge, width and text. --text reads FILE as a
//       plain-text document. A frameset document is shown by the frame viewer at N x H (--height H,
//       default 385): the frame tree is printed, then each frame's line (name, source, rectangle)
//       before the layout of its page.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "platform/asciitext.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "images/imagedump.h"
#include "layout/layoutdump.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/testing.h"
#include "reader/framesetreader.h"
#include "viewer/docrender.h"
#include "viewer/frames.h"
#include "viewer/frametree.h"
#include "viewer/frameviewer.h"
#include "reader/scanner.h"
#include "style/styledump.h"

namespace {

int Usage()
{
    std::cerr << "usage: vexa-dump tokens FILE [--charset N | --codepage N]\n"
                 "       vexa-dump sheet FILE\n"
                 "       vexa-dump picture FILE [--frames DIR]\n"
                 "       vexa-dump layout FILE [--width N] [--height H] [--text]\n";
    return 2;
}

// Font character set -> code page, as the style properties map them (31 is ISO 8859-2).
int CharsetCodePage(int charset)
{
    static const std::map<int, int> table = {
        {0, 1252}, {1, 0}, {2, 0}, {77, 2}, {128, 932}, {129, 949}, {130, 1361}, {134, 936}, {136, 950},
        {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
        {222, 874}, {238, 1250}, {255, 1}, {31, 28592},
    };
    auto it = table.find(charset);
    return it == table.end() ? 0 : it->second;
}

// UTF-8 text shown with control characters, quotes and backslashes escaped.
std::string Escaped(const std::string& bytes)
{
    std::string out;
    char buf[8];
    for (unsigned char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 32 || c == 127) {
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += char(c);
        }
    }
    return out;
}

// One UTF-16 unit shown for the index list.
std::string ShowUnit(char16_t c)
{
    if (c == u' ')
        return "\xE2\x90\xA0";  // the visible blank sign
    if (c < 32) {
        char buf[12];
        std::snprintf(buf, sizeof buf, "\\u%04X", unsigned(c));
        return buf;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
        char buf[12];
        std::snprintf(buf, sizeof buf, "\\u%04X", unsigned(c));
        return buf;
    }
    return platform::WideToUtf8(std::u16string_view(&c, 1));
}

void PrintText(THtmlScanner& scanner)
{
    TokenObj& token = scanner.Token;
    std::cout << "TEXT \"" << Escaped(platform::WideToUtf8(token.Text())) << "\"\n";
    std::cout << "  ";
    for (int i = 0; i < token.Count(); ++i)
        std::cout << (i ? " " : "") << ShowUnit(token.CharAt(i)) << "@" << token.IndexAt(i);
    std::cout << "\n";
}

void PrintTag(THtmlScanner& scanner)
{
    std::cout << SymbolName(scanner.Sy) << " (" << int(scanner.Sy) << ")";
    if (scanner.HeadingLevel)
        std::cout << " level " << scanner.HeadingLevel;
    std::cout << " @" << scanner.TagStartPos << "\n";
    for (const auto& a : *scanner.Attributes()) {
        std::cout << "  " << a->AttrName << " (" << int(a->Sym) << ") = \""
                  << Escaped(platform::WideToUtf8(platform::MultiByteToWide(a->CodePage, a->StrValue)))
                  << "\" num=" << a->NumValue << " cp=" << a->CodePage << "\n";
    }
}

int DumpTokens(const std::vector<std::string>& args)
{
    if (args.empty())
        return Usage();
    std::string file;
    int codePage = platform::SystemCodePage();
    bool eucJp = false;  // character set 30: EUC-JP, read as Shift-JIS after conversion
    for (std::size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--charset" || args[i] == "--codepage") && i + 1 < args.size()) {
            int n = std::atoi(args[i + 1].c_str());
            eucJp = args[i] == "--charset" && n == 30;
            codePage = eucJp ? 932 : args[i] == "--charset" ? CharsetCodePage(n) : n;
            ++i;
        } else if (file.empty()) {
            file = args[i];
        } else {
            return Usage();
        }
    }
    if (file.empty())
        return Usage();

    std::string text;
    try {
        text = platform::ReadFileString(file);
    } catch (const std::exception& e) {
        std::cerr << "vexa-dump: " << e.what() << "\n";
        return 1;
    }

    THtmlScanner scanner;
    scanner.StartParse(std::move(text), platform::ResolveCodePage(codePage));
    std::cout << "# " << scanner.DocumentSize() << " bytes, code page " << scanner.DocCodePage;
    if (scanner.Utf8Fixed)
        std::cout << " (UTF-8 byte-order mark)";
    if (scanner.JapaneseConverted)
        std::cout << " (JIS converted to Shift-JIS)";
    std::cout << "\n";
    if (eucJp && scanner.ConvertEucJp())
        std::cout << "# EUC-JP converted to Shift-JIS\n";
    try {
        scanner.ReadChar();
        do {
            scanner.Next();
            if (scanner.Sy == TextSy && scanner.Token.Count() > 0)
                PrintText(scanner);
            else
                PrintTag(scanner);
        } while (scanner.Sy != EofSy);
    } catch (const EParseError& e) {
        std::cout << "STOP \"" << e.what() << "\" @" << scanner.CharPos << "\n";
    }
    return 0;
}

}  // namespace

// The texts of the page's STYLE elements; the whole file when it has none (a style sheet).
std::vector<std::string> StyleTexts(const std::string& file)
{
    const std::string lower = platform::LowerAscii(file);
    std::vector<std::string> texts;
    std::size_t pos = 0;
    for (;;) {
        std::size_t open = lower.find("<style", pos);
        if (open == std::string::npos)
            break;
        std::size_t start = lower.find('>', open);
        if (start == std::string::npos)
            break;
        std::size_t end = lower.find("</style", start);
        if (end == std::string::npos)
            end = file.size();
        texts.push_back(file.substr(start + 1, end - start - 1));
        pos = end;
    }
    if (texts.empty())
        texts.push_back(file);
    return texts;
}

int DumpSheet(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return Usage();
    std::string text;
    try {
        text = platform::ReadFileString(args[0]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    const std::vector<std::string> sheets = StyleTexts(text);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (sheets.size() > 1)
            std::cout << "# STYLE element " << i + 1 << "\n";
        DumpStyleSheet(sheets[i], std::cout);
    }
    return 0;
}

int DumpPictureFile(const std::vector<std::string>& args)
{
    if (args.size() == 1)
        return DumpPicture(args[0], std::cout);
    if (args.size() == 3 && args[1] == "--frames") {
        std::error_code ignored;
        std::filesystem::create_directories(args[2], ignored);
        return DumpPicture(args[0], std::cout, args[2]);
    }
    return Usage();
}

int DumpFrameSetLayout(const std::string& file, int width, int height)
{
    TFrameViewer viewer(nullptr);
    viewer.SetBounds(0, 0, width, height);
    viewer.OpenFile(file);
    platform::test::ProcessEvents();
    std::cout << "frameset width=" << width << " height=" << height << "\n" << FrameTreeText(viewer);
    platform::Bitmap bitmap(1, 1);
    platform::Canvas canvas(bitmap);
    for (TfvFrame* frame : viewer.Master().Frames) {
        std::cout << "\n" << FrameLine(viewer, *frame) << "\n";
        if (THTMLViewer* v = frame->DocViewer()) {
            std::cout << "document height=" << v->DocumentHeight() << " width=" << v->DocumentWidth() << "\n";
            std::cout << DumpLayout(v->SectionList(), canvas);
        }
    }
    return 0;
}

int DumpLayoutFile(const std::vector<std::string>& args, int argc, char** argv)
{
    if (args.empty())
        return Usage();
    int width = 551;
    int frameHeight = 385;
    bool plain = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--width" && i + 1 < args.size())
            width = std::atoi(args[++i].c_str());
        else if (args[i] == "--height" && i + 1 < args.size())
            frameHeight = std::max(1, std::atoi(args[++i].c_str()));
        else if (args[i] == "--text")
            plain = true;
        else
            return Usage();
    }
    std::string text;
    try {
        text = platform::ReadFileString(args[0]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::Application app(argc, argv);
    if (!plain) {
        try {
            TFrameSetReader reader;
            if (reader.IsFrameSet(TFrameSetReader::FromText, std::string(), text))
                return DumpFrameSetLayout(args[0], std::max(1, width), frameHeight);
        } catch (const std::exception& e) {
            std::cerr << e.what() << "\n";
            return 1;
        }
    }
    DocumentRenderer doc;
    doc.BaseFolder = platform::ExtractFilePath(args[0]);
    doc.Load(text, plain);
    const int height = doc.Format(width);
    std::cout << "document width=" << width << " height=" << height << " maxwidth=" << doc.MaxWidth() << "\n";
    doc.Paint(0, std::clamp(height, 1, 20000));  // pictures and panels learn where they are drawn
    std::cout << DumpLayout(doc.Root(), doc.MeasureCanvas());
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string mode = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (mode == "tokens")
        return DumpTokens(args);
    if (mode == "sheet")
        return DumpSheet(args);
    if (mode == "picture")
        return DumpPictureFile(args);
    if (mode == "layout")
        return DumpLayoutFile(args, argc, argv);
    return Usage();
}
