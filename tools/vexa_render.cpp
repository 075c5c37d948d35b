// vexa-render: a page laid out and painted by the viewer control, headless, written as a PNG.
//
//   vexa-render PAGE [--width N] [--height H] OUT.png
//       N is the width of the document area (default 551). Without --height the whole document height is
//       painted; with it, the top H pixels. Prints the document's size and title.
//       A frameset document is shown by the frame viewer at N x H (H 385 when not given), every frame
//       painted into the one picture; the frame tree is printed.
//   vexa-render PAGE --pdf OUT.pdf [--paper A4|Letter]
//       Prints the page to a PDF file (A4 unless --paper says otherwise) and tells how many pages it has;
//       a frameset prints its first frame's page.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "platform/application.h"
#include "platform/codepage.h"
#include "platform/printer.h"
#include "platform/testing.h"
#include "viewer/frameviewer.h"
#include "viewer/frametree.h"
#include "viewer/htmlviewer.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: vexa-render PAGE [--width N] [--height H] OUT.png\n"
                         "       vexa-render PAGE --pdf OUT.pdf [--paper A4|Letter]\n");
    return 2;
}

int RenderFrameSet(const std::string& page, int width, int height, const std::string& out, const std::string& pdf,
                   const platform::PaperSize& paper)
{
    TFrameViewer viewer(nullptr);
    viewer.SetBounds(0, 0, width, height);
    viewer.OpenFile(page);
    platform::test::ProcessEvents();
    if (!pdf.empty()) {
        // A frameset prints its first frame's page (no frame is active without a user).
        viewer.PrintPaper = paper;
        const int pages = viewer.PrintToPDF(pdf);
        std::printf("pdf: %s pages=%d\n", pdf.c_str(), pages);
        if (out.empty())
            return 0;
    }
    if (!platform::test::GrabToPng(viewer, out)) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("frameset: title=\"%s\"\n%spng: %s\n", platform::SystemToUtf8(viewer.DocumentTitle()).c_str(),
                FrameTreeText(viewer).c_str(),
                out.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string page, out;
    int width = 551, height = 0;
    std::string pdf;
    platform::PaperSize paper = platform::PaperA4();
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--width" && i + 1 < argc)
            width = std::atoi(argv[++i]);
        else if (a == "--height" && i + 1 < argc)
            height = std::atoi(argv[++i]);
        else if (a == "--pdf" && i + 1 < argc)
            pdf = argv[++i];
        else if (a == "--paper" && i + 1 < argc) {
            if (!platform::PaperByName(argv[++i], paper))
                return Usage();
        } else if (page.empty())
            page = a;
        else if (out.empty())
            out = a;
        else
            return Usage();
    }
    if (page.empty() || (out.empty() && pdf.empty()) || width < 1 || height < 0)
        return Usage();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::Application app(argc, argv);
    try {
        TFrameSetReader reader;
        if (reader.IsFrameSet(TFrameSetReader::FromFile, page, std::string()))
            return RenderFrameSet(page, width, height > 0 ? height : 385, out, pdf, paper);
        THTMLViewer viewer(nullptr);
        viewer.SetBorderStyle(htNone);
        viewer.SetScrollBars(ssNone);
        viewer.SetBounds(0, 0, width, std::max(height, 100));
        viewer.OpenFile(page);
        if (!pdf.empty()) {
            viewer.PrintPaper = paper;
            const int pages = viewer.PrintToPDF(pdf);
            std::printf("pdf: %s pages=%d\n", pdf.c_str(), pages);
            if (out.empty())
                return 0;
        }
        const int docHeight = viewer.DocumentHeight();
        viewer.SetBounds(0, 0, width, height > 0 ? height : std::clamp(docHeight, 1, 32000));
        platform::test::ProcessEvents();
        if (!platform::test::GrabToPng(viewer.PaintPanel(), out)) {
            std::fprintf(stderr, "cannot write %s\n", out.c_str());
            return 1;
        }
        std::printf("document: width=%d height=%d title=\"%s\"\npng: %s\n", viewer.DocumentWidth(), docHeight,
                    platform::SystemToUtf8(viewer.DocumentTitle()).c_str(), out.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
