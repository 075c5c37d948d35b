// The frameset test and the frameset read.

#include "reader/framesetreader.h"

#include "core/attributes.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace {

// Tags that make a document an ordinary page: the frameset test answers false and the read stops.
bool IsBodyLevel(Symbol sy)
{
    switch (sy) {
    case BodySy:
    case PSy:
    case HeadingSy:
    case HRSy:
    case OLSy:
    case ULSy:
    case DirSy:
    case MenuSy:
    case DLSy:
    case AddressSy:
    case BlockQuoteSy:
    case PreSy:
    case ImageSy:
    case TableSy:
    case FormSy:
        return true;
    default:
        return false;
    }
}

std::string AttrText(const TAttributeList& attrs, Symbol sy)
{
    const TAttribute* a = attrs.Find(sy);
    return a ? a->StrValue : std::string();
}

// Ends a parse however the reading ends.
struct ParseEnd {
    THtmlScanner& Sc;
    ~ParseEnd()
    {
        Sc.RawMode = false;
        Sc.EndParse();
    }
};

}  // namespace

std::string TFrameSetReader::Load(int sourceKind, const std::string& fileName, const std::string& text)
{
    if (sourceKind == FromText)
        return text;
    return platform::ReadFileString(fileName);  // raises the file error itself
}

void TFrameSetReader::Start(std::string document)
{
    if (!Sc)
        Sc = std::make_unique<THtmlScanner>();
    Title.clear();
    Base.clear();
    BaseTarget.clear();
    Sc->Include = Host.Include;
    Sc->OnProgress = nullptr;
    Sc->IDNames = nullptr;
    Sc->TextCodePage = nullptr;
    Sc->StartParse(std::move(document), platform::CP_ACP);
    Sc->ReadChar();
    Sc->Next();
}

bool TFrameSetReader::IsFrameSet(int sourceKind, const std::string& fileName, const std::string& text)
{
    if (sourceKind == FromText && text.empty())
        return false;
    std::string document = Load(sourceKind, fileName, text);
    Host = TFrameSetHost{};
    Viewer = nullptr;
    try {
        Start(std::move(document));
        ParseEnd end{*Sc};
        while (Sc->Sy != EofSy) {
            if (Sc->Sy == FrameSetSy)
                return true;
            if (IsBodyLevel(Sc->Sy))
                return false;
            if (Sc->Sy == ScriptSy) {
                DoScript(false);
                Sc->Next();
                continue;
            }
            Sc->Next();
        }
    } catch (const std::exception&) {
    }
    return false;
}

void TFrameSetReader::Read(TFrameViewerBase& viewer, TSubFrameSet* set, int sourceKind, const TFrameSetHost& host,
                           const std::string& text, const std::string& fileName)
{
    std::string document = Load(sourceKind, fileName, text);
    Viewer = &viewer;
    Host = host;
    FileName = fileName;
    try {
        Start(std::move(document));
        ParseEnd end{*Sc};
        while (Sc->Sy != EofSy && !IsBodyLevel(Sc->Sy)) {
            switch (Sc->Sy) {
            case TitleSy: DoTitle(); break;
            case BaseSy: DoBase(); break;
            case FrameSetSy:
                ReadSet(set, 1);
                Sc->Next();
                break;
            case NoFramesSy:
                SkipNoFrames();
                Sc->Next();
                break;
            case ScriptSy:
                DoScript(true);
                Sc->Next();
                break;
            case BGSoundSy: DoBgSound(); break;
            case MetaSy: DoMeta(); break;
            default: Sc->Next();
            }
        }
    } catch (const std::exception&) {
        // What was made so far stays.
    }
    Viewer = nullptr;
    Host = TFrameSetHost{};
}

// Reads one FRAMESET element: the current token is its tag. Returns at its /FRAMESET (current) or at the
// end of input. FRAMESET tags nested too deep (or beyond what the viewer can make) are ignored, and so
// are their end tags, so that their frames land in this set.
void TFrameSetReader::ReadSet(TSubFrameSet* set, int depth)
{
    Viewer->ApplyFrameSetAttributes(set, *Sc->Attributes());
    Sc->Next();
    int ignored = 0;
    while (Sc->Sy != EofSy) {
        switch (Sc->Sy) {
        case FrameSetEndSy:
            if (ignored == 0) {
                Viewer->EndFrameSet(set);
                return;
            }
            --ignored;
            Sc->Next();
            break;
        case FrameSetSy: {
            TSubFrameSet* sub = depth < MaxFrameSetNesting ? Viewer->AddSubFrameSet(set) : nullptr;
            if (sub)
                ReadSet(sub, depth + 1);
            else
                ++ignored;
            Sc->Next();
            break;
        }
        case FrameSy:
            Viewer->AddFrame(set, *Sc->Attributes(), FileName);
            Sc->Next();
            break;
        case NoFramesSy:
            SkipNoFrames();
            Sc->Next();
            break;
        case ScriptSy:
            DoScript(true);
            Sc->Next();
            break;
        default: Sc->Next();
        }
    }
    Viewer->EndFrameSet(set);
}

void TFrameSetReader::SkipNoFrames()
{
    // Up to and including /NOFRAMES (the caller reads past it).
    do
        Sc->Next();
    while (Sc->Sy != NoFramesEndSy && Sc->Sy != EofSy);
}

void TFrameSetReader::DoTitle()
{
    Title.clear();
    Sc->Next();
    while (Sc->Sy == TextSy) {
        Title += platform::WideToMultiByte(platform::CP_ACP, Sc->Token.Text());
        Sc->Next();
    }
}

void TFrameSetReader::DoBase()
{
    const TAttributeList& a = *Sc->Attributes();
    if (const TAttribute* h = a.Find(HrefSy))
        Base = h->StrValue;
    if (const TAttribute* t = a.Find(TargetSy))
        BaseTarget = t->StrValue;
    Sc->Next();
}

void TFrameSetReader::DoMeta()
{
    const TAttributeList& a = *Sc->Attributes();
    if (Host.OnMeta)
        Host.OnMeta(AttrText(a, HttpEqSy), AttrText(a, NameSy), AttrText(a, ContentSy));
    Sc->Next();
}

void TFrameSetReader::DoBgSound()
{
    const TAttributeList& a = *Sc->Attributes();
    const TAttribute* src = a.Find(SrcSy);
    if (Host.OnSoundRequest && src) {
        const TAttribute* loop = a.Find(LoopSy);
        Host.OnSoundRequest(src->StrValue, loop ? loop->NumValue : 1, false);
    }
    Sc->Next();
}

// The content of a SCRIPT element, read raw up to "</script" and the ">" closing it (a few characters
// later at most). The current character is the ">" of the SCRIPT tag; afterwards it is the character
// after the end tag.
void TFrameSetReader::DoScript(bool callHandler)
{
    const TAttributeList& attrs = *Sc->Attributes();
    const std::string language = callHandler ? AttrText(attrs, LanguageSy) : std::string();
    const std::string name = callHandler ? AttrText(attrs, NameSy) : std::string();
    const bool keep = callHandler && Host.OnScript;
    static constexpr char EndTag[] = "</script";
    Sc->RawMode = true;
    std::string content;
    int matched = 0;      // characters of "</script" matched so far
    int afterEnd = -1;    // characters read since a complete "</script", -1 when none
    std::size_t endAt = 0;
    bool ended = false;
    for (Sc->RawChar(); Sc->Ch != 0; Sc->RawChar()) {
        char c = char(Sc->Ch);
        if (keep) {
            if (c == '\r')
                content += "\r\n";
            else
                content += c;
        }
        if (afterEnd >= 0) {
            if (c == '>') {
                ended = true;
                break;
            }
            if (++afterEnd > 6)
                afterEnd = -1;
        }
        const char lower = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        if (lower == EndTag[matched]) {
            if (++matched == 8) {
                afterEnd = 0;
                matched = 0;
                endAt = content.size() >= 8 ? content.size() - 8 : 0;
            }
        } else {
            matched = lower == '<' ? 1 : 0;
        }
    }
    Sc->RawMode = false;
    if (ended) {
        if (keep)
            content.erase(endAt);
        Sc->ReadChar();
    }
    if (keep)
        Host.OnScript(name, language, content);
}
