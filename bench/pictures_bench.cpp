// Pictures in pages: a page of 1,000 small pictures (200 distinct files, the rest repeats) opened,
// formatted and first painted, with a cold cache and with the cache of the previous open; and one animation
// tick of a page with 50 moving GIFs in view, repainting only the pictures whose frame changed.
// Counters: decoded (cache entries made by one open), bitmaps (distinct bitmaps the 1,000 pictures draw),
// and for the tick the frames changed and the share of the view repainted.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>

#include "images/gifimage.h"
#include "images/imagecache.h"
#include "layout/blocks.h"
#include "layout/imageobj.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "tests/images/picture_helpers.h"
#include "viewer/docrender.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("vexa-pictures-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        auto write = [&d](const std::string& name, const std::vector<std::uint8_t>& bytes) {
            std::ofstream(d / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                            std::streamsize(bytes.size()));
        };
        for (int i = 0; i < 200; ++i) {
            pictest::GifFrameDesc f;
            f.Width = f.Height = 16;
            for (int p = 0; p < 256; ++p)
                f.Indexes.push_back(std::uint8_t((p + i) % 4));
            write("p" + std::to_string(i) + ".gif",
                  pictest::MakeGif(16, 16, {std::uint32_t(i), 0xFFFFFF, 0x0000FF, std::uint32_t(i << 8)}, {f}));
        }
        std::vector<pictest::GifFrameDesc> frames;
        for (int k = 0; k < 2; ++k) {
            pictest::GifFrameDesc f;
            f.Width = f.Height = 32;
            f.Indexes.assign(32 * 32, std::uint8_t(k));
            f.Delay = 0;  // shown for the shortest time, 30 ms
            frames.push_back(f);
        }
        write("anim.gif", pictest::MakeGif(32, 32, {0x0000FF, 0x00FF00}, frames, 0));
        return d;
    }();
    return dir;
}

std::string ThousandPictures()
{
    std::string page = "<html><body>";
    for (int i = 0; i < 1000; ++i)
        page += "<img src=p" + std::to_string(i % 200) + ".gif alt=x> ";
    return page + "</body></html>";
}

void Pictures(TCellBasic& cell, std::vector<TImageObj*>& out)
{
    for (const auto& item : cell) {
        if (auto* s = dynamic_cast<TSection*>(item.get())) {
            for (const auto& obj : s->Images)
                if (auto* image = dynamic_cast<TImageObj*>(obj.get()))
                    out.push_back(image);
        } else if (auto* b = dynamic_cast<TBlock*>(item.get())) {
            Pictures(*b->MyCell, out);
        }
    }
}

// How many distinct bitmaps the document's pictures draw.
int DistinctBitmaps(DocumentRenderer& doc)
{
    std::vector<TImageObj*> all;
    Pictures(doc.Root(), all);
    std::set<const platform::Bitmap*> bitmaps;
    for (TImageObj* image : all)
        bitmaps.insert(image->GetBitmap());
    return int(bitmaps.size());
}

void BM_ThousandPicturesColdCache(benchmark::State& state)
{
    const std::string page = ThousandPictures();
    int decoded = 0, bitmaps = 0;
    for (auto _ : state) {
        DocumentRenderer doc;
        doc.BaseFolder = Folder().string();
        doc.Load(page);
        doc.Format(551);
        benchmark::DoNotOptimize(doc.Paint(0, 385));
        state.PauseTiming();
        decoded = doc.Root().ImageCache->Count();
        bitmaps = DistinctBitmaps(doc);
        state.ResumeTiming();
    }
    state.counters["decoded"] = decoded;
    state.counters["bitmaps"] = bitmaps;
}
BENCHMARK(BM_ThousandPicturesColdCache)->Unit(benchmark::kMillisecond);

void BM_ThousandPicturesWarmCache(benchmark::State& state)
{
    const std::string page = ThousandPictures();
    DocumentRenderer doc;
    doc.BaseFolder = Folder().string();
    doc.Load(page);
    doc.Format(551);
    int before = 0, after = 0;
    for (auto _ : state) {
        before = doc.Root().ImageCache->Count();
        doc.Load(page);
        doc.Format(551);
        benchmark::DoNotOptimize(doc.Paint(0, 385));
        after = doc.Root().ImageCache->Count();
    }
    state.counters["decoded"] = after - before;
    state.counters["bitmaps"] = DistinctBitmaps(doc);
}
BENCHMARK(BM_ThousandPicturesWarmCache)->Unit(benchmark::kMillisecond);

// One tick of the root's animation timer with 50 moving pictures in view, then the repaint of the
// rectangles that changed (as the paint area's invalidation asks for), on a bitmap of the view.
void BM_AnimationTickFiftyGifs(benchmark::State& state)
{
    std::string page = "<html><body>";
    for (int i = 0; i < 50; ++i)
        page += "<img src=anim.gif> ";
    page += "</body></html>";
    DocumentRenderer doc;
    doc.BaseFolder = Folder().string();
    doc.Load(page);
    const int width = 551, height = 385;
    doc.Format(width);
    std::vector<TImageObj*> all;
    Pictures(doc.Root(), all);
    platform::Bitmap view(width, height);
    platform::Canvas canvas(view);
    TSectionList& root = doc.Root();
    root.ScrollTo(0);
    root.PaintCell(&canvas, platform::Rect{0, 0, width, height}, width, 0, 0, 0, 0);
    double changed = 0, area = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(45));  // past every picture's frame delay
        std::vector<int> frames;
        for (TImageObj* image : all)
            frames.push_back(image->CurrentFrame());
        state.ResumeTiming();
        root.AnimationTick();
        // The rectangles the tick invalidated, painted in one pass clipped to their union, as the paint
        // area's update region asks for.
        long repainted = 0;
        int count = 0;
        platform::Rect bounds{width, height, 0, 0};
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i]->CurrentFrame() == frames[i])
                continue;
            const platform::Rect& r = all[i]->Gif()->DrawnRect();
            bounds = platform::Rect{std::min(bounds.Left, r.Left), std::min(bounds.Top, r.Top),
                                    std::max(bounds.Right, r.Right), std::max(bounds.Bottom, r.Bottom)};
            repainted += long(r.Width()) * r.Height();
            ++count;
        }
        if (count > 0) {
            canvas.SaveDC();
            canvas.IntersectClipRect(bounds);
            root.PaintCell(&canvas, bounds, width, 0, 0, 0, 0);
            canvas.RestoreDC();
        }
        changed = count;
        area = double(repainted) / (double(width) * height);
    }
    state.counters["changed"] = changed;
    state.counters["repainted_share"] = area;
}
BENCHMARK(BM_AnimationTickFiftyGifs)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(Folder());
    return 0;
}
