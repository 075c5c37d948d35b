// Every page of the shipped page tree builds, formats at the info window's width and paints without an
// error, with a height that fits its content; and the layout dump shows its text.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "layout/layoutdump.h"
#include "platform/files.h"
#include "viewer/docrender.h"

namespace fs = std::filesystem;

TEST(SamplePages, EveryPageFormatsAndPaints)
{
    const fs::path info = fs::path(VEXA_SOURCE_DIR) / "content" / "Info";
    int pages = 0;
    for (const auto& entry : fs::recursive_directory_iterator(info)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".html" && ext != ".htm")
            continue;
        ++pages;
        DocumentRenderer doc;
        doc.BaseFolder = entry.path().parent_path().string();
        doc.Load(platform::ReadFileString(entry.path().string()));
        const int height = doc.Format(551);
        EXPECT_GT(height, 20) << entry.path();
        EXPECT_LT(height, 20000) << entry.path();
        EXPECT_LE(doc.MaxWidth(), 2000) << entry.path();
        auto bitmap = doc.Paint(0, 385);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_NE(DumpLayout(doc.Root(), doc.MeasureCanvas()).find("line baseline="), std::string::npos) << entry.path();
        // Narrow and wide widths lay out too.
        EXPECT_GT(doc.Format(120), 0);
        EXPECT_GT(doc.Format(1400), 0);
    }
    EXPECT_GE(pages, 20);
}
