// The hostile pages printed: each is copied, formatted at a narrow printable width, cut into pages, and
// its first and last pages drawn, on a bitmap and on a sheet picture.

#include <gtest/gtest.h>

#include "print/printdoc.h"
#include "tests/hostile/datafiles.h"

namespace {

class HostilePrint : public testing::TestWithParam<std::string> {};

TEST_P(HostilePrint, PaginatesAndDrawsItsPages)
{
    TPrintDocument doc;
    doc.Load(hostile::ReadDataFile(GetParam()), false, THtmlHost{});
    TPrintSettings settings;
    settings.Paper = platform::PaperSize{4.0, 3.0};
    settings.MarginLeft = settings.MarginRight = settings.MarginTop = settings.MarginBottom = 0.5;
    const int pages = doc.Paginate(settings);
    ASSERT_GE(pages, 1);
    int covered = 0;
    for (int i = 0; i < pages; ++i) {
        const TPageSpan& span = doc.Page(i);
        ASSERT_EQ(span.Top, covered);
        ASSERT_GE(span.Bottom, span.Top);
        covered = span.Bottom;
    }
    EXPECT_EQ(covered, doc.DocumentHeight());
    EXPECT_NE(doc.RenderPage(0), nullptr);
    EXPECT_FALSE(doc.RenderSheet(pages - 1, 24).Empty());
}

INSTANTIATE_TEST_SUITE_P(Seeds, HostilePrint, testing::ValuesIn(hostile::DataFiles("html-seeds", {".html"})),
                         hostile::CaseName);
INSTANTIATE_TEST_SUITE_P(Crashers, HostilePrint, testing::ValuesIn(hostile::DataFiles("crashers", {".html"})),
                         hostile::CaseName);

}  // namespace
