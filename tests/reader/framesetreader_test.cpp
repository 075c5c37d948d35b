// The frameset test and the frameset read, through a viewer that records the callbacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/attributes.h"
#include "platform/exception.h"
#include "reader/framesetreader.h"

namespace {

// Stands in for the frame viewer: sets are numbered handles, every callback is written down.
class RecordingViewer final : public TFrameViewerBase {
public:
    RecordingViewer() : TFrameViewerBase(nullptr) {}

    TSubFrameSet* Handle(int n) { return reinterpret_cast<TSubFrameSet*>(&slots_[n]); }
    int Number(TSubFrameSet* s) const { return int(reinterpret_cast<const char*>(s) - slots_); }

    void AddFrame(TSubFrameSet* set, TAttributeList& attributes, const std::string& fileName) override
    {
        const TAttribute* src = attributes.Find(SrcSy);
        Calls.push_back("frame " + std::to_string(Number(set)) + " " + (src ? src->StrValue : "") + " " + fileName);
    }
    TSubFrameSet* AddSubFrameSet(TSubFrameSet* parent) override
    {
        ++sets_;
        Calls.push_back("set " + std::to_string(sets_) + " in " + std::to_string(Number(parent)));
        return sets_ < MaxSets ? Handle(sets_) : nullptr;
    }
    void ApplyFrameSetAttributes(TSubFrameSet* set, TAttributeList& attributes) override
    {
        const TAttribute* rows = attributes.Find(RowsSy);
        Calls.push_back("attrs " + std::to_string(Number(set)) + (rows ? " rows=" + rows->StrValue : ""));
    }
    void EndFrameSet(TSubFrameSet* set) override { Calls.push_back("end " + std::to_string(Number(set))); }

    static constexpr int MaxSets = 200;
    std::vector<std::string> Calls;

private:
    char slots_[MaxSets + 1] = {};
    int sets_ = 0;
};

TEST(FrameSetTest, FramesetBeforeAnyBodyTagMakesAFramesetDocument)
{
    TFrameSetReader r;
    EXPECT_TRUE(r.IsFrameSet(TFrameSetReader::FromText, "", "<!-- c --><title>T</title><frameset cols=*>"));
    EXPECT_FALSE(r.IsFrameSet(TFrameSetReader::FromText, "", "<title>T</title><body><frameset>"));
    EXPECT_FALSE(r.IsFrameSet(TFrameSetReader::FromText, "", "<head><title>T</title></head>some text"));
    EXPECT_FALSE(r.IsFrameSet(TFrameSetReader::FromText, "", ""));
    // A script's content is no markup.
    EXPECT_FALSE(r.IsFrameSet(TFrameSetReader::FromText, "", "<script>x='<frameset>'</script><p>"));
    EXPECT_TRUE(r.IsFrameSet(TFrameSetReader::FromText, "", "<script>x='<p>'</SCRIPT ><frameset>"));
    EXPECT_FALSE(r.IsFrameSet(TFrameSetReader::FromText, "", "<table><tr><td><frameset>"));
    // A file that cannot be read is the caller's error.
    EXPECT_THROW(r.IsFrameSet(TFrameSetReader::FromFile, "/nonexistent/x.html", ""), platform::Exception);
}

TEST(FrameSetRead, NestedSetsNoFramesScriptAndLateTitle)
{
    RecordingViewer v;
    TFrameSetReader r;
    r.Read(v, v.Handle(0), TFrameSetReader::FromText, {},
           "<frameset rows=\"50,*\"><frame src=a.html>"
           "<noframes><frameset><frame src=hidden.html></frameset></noframes>"
           "<frameset cols=\"*,*\"><frame src=b.html><script>document.write('<frame src=no.html>')</script>"
           "<frame src=c.html></frameset></frameset>"
           "<title>Late</title><base href=\"http://h/d/\" target=main>",
           "doc.html");
    const std::vector<std::string> expected = {
        "attrs 0 rows=50,*", "frame 0 a.html doc.html", "set 1 in 0", "attrs 1", "frame 1 b.html doc.html",
        "frame 1 c.html doc.html", "end 1", "end 0",
    };
    EXPECT_EQ(v.Calls, expected);
    EXPECT_EQ(r.Title, "Late");
    EXPECT_EQ(r.Base, "http://h/d/");
    EXPECT_EQ(r.BaseTarget, "main");
}

TEST(FrameSetRead, ScriptsAndMetaReachTheHost)
{
    RecordingViewer v;
    TFrameSetReader r;
    std::vector<std::string> seen;
    TFrameSetHost host;
    host.OnScript = [&](const std::string&, const std::string& language, const std::string& text) {
        seen.push_back(language + ":" + text);
    };
    host.OnMeta = [&](const std::string& httpEq, const std::string&, const std::string& content) {
        seen.push_back(httpEq + "=" + content);
    };
    r.Read(v, v.Handle(0), TFrameSetReader::FromText, host,
           "<meta http-equiv=refresh content=\"5;url=x.html\"><script language=js>a<b</script>"
           "<frameset><frame src=a.html></frameset><body><meta http-equiv=late content=1>",
           "doc.html");
    EXPECT_EQ(seen, (std::vector<std::string>{"refresh=5;url=x.html", "js:a<b"}));
}

// Sets nested without bound inside one document stop at a fixed depth; their frames land in the
// deepest set read, and the read ends.
TEST(FrameSetRead, DeepNestingIsCapped)
{
    RecordingViewer v;
    TFrameSetReader r;
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "<frameset>";
    text += "<frame src=deep.html>";
    for (int i = 0; i < 100000; ++i)
        text += "</frameset>";
    r.Read(v, v.Handle(0), TFrameSetReader::FromText, {}, text, "doc.html");
    int sets = 0;
    for (const std::string& c : v.Calls)
        sets += c.rfind("set ", 0) == 0;
    EXPECT_EQ(sets, TFrameSetReader::MaxFrameSetNesting - 1);
    EXPECT_NE(std::find(v.Calls.begin(), v.Calls.end(),
                        "frame " + std::to_string(TFrameSetReader::MaxFrameSetNesting - 1) + " deep.html doc.html"),
              v.Calls.end());
    EXPECT_EQ(v.Calls.back(), "end 0");
}

}  // namespace
