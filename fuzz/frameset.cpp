// libFuzzer target: frameset documents. The frameset test and the frameset read over arbitrary bytes with
// a viewer that only counts the callbacks, and the ROWS / COLS size lists with their sizes for an extent.
// Checks that sets stay nested within the reader's bound and that sizes never go negative.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/attributes.h"
#include "fuzz/headless.h"
#include "reader/framesetreader.h"
#include "viewer/frames.h"

namespace {

class CountingViewer final : public TFrameViewerBase {
public:
    CountingViewer() : TFrameViewerBase(nullptr) {}
    void AddFrame(TSubFrameSet*, TAttributeList& attributes, const std::string&) override
    {
        ++Frames;
        if (const TAttribute* src = attributes.Find(SrcSy))
            Bytes += src->StrValue.size();
    }
    TSubFrameSet* AddSubFrameSet(TSubFrameSet*) override
    {
        if (++Depth > TFrameSetReader::MaxFrameSetNesting)
            std::abort();
        return reinterpret_cast<TSubFrameSet*>(&Slot);
    }
    void ApplyFrameSetAttributes(TSubFrameSet*, TAttributeList& attributes) override
    {
        for (Symbol s : {RowsSy, ColsSy})
            if (const TAttribute* a = attributes.Find(s)) {
                std::vector<int> list;
                TSubFrameSet::ReadSizeList(a->StrValue, list);
                if (list.empty() || list.size() > std::size_t(TSubFrameSet::MaxSizeEntries))
                    std::abort();
                for (int extent : {0, 1, 385, 100000})
                    for (int size : TSubFrameSet::ComputeSizes(list, extent))
                        if (size < 0)
                            std::abort();
            }
    }
    void EndFrameSet(TSubFrameSet*) override
    {
        if (Depth > 0)
            --Depth;
    }
    int Frames = 0;
    int Depth = 0;
    std::size_t Bytes = 0;
    char Slot = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    return fuzz::StartHeadlessApplication(argc, argv);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 200000)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TFrameSetReader reader;
    reader.IsFrameSet(TFrameSetReader::FromText, std::string(), text);
    // One viewer for the whole run: a window is freed only when the event loop runs, which it never does here.
    static CountingViewer* viewer = std::make_unique<CountingViewer>().release();
    viewer->Frames = 0;
    viewer->Depth = 0;
    viewer->Bytes = 0;
    reader.Read(*viewer, reinterpret_cast<TSubFrameSet*>(&viewer->Slot), TFrameSetReader::FromText, {}, text,
                "f.html");
    return 0;
}
