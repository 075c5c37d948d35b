// Reading forms: the FORM element's form, the INPUT, SELECT and TEXTAREA controls placed in the text, the
// OPTIONs of a SELECT and the raw text of a TEXTAREA.

#include <string>
#include <vector>

#include "core/attributes.h"
#include "layout/formcontrols.h"
#include "layout/forms.h"
#include "layout/imageinput.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/asciitext.h"
#include "platform/codepage.h"
#include "reader/builder.h"

namespace {

// Bounds on what one element can make the reader keep.
constexpr std::size_t MaxTextAreaChars = 4u << 20;  // characters of a TEXTAREA's text
constexpr int MaxOptions = 200000;                  // OPTIONs of one SELECT

bool IsOptionBlank(char16_t c)
{
    return c <= u' ';
}

std::u16string TrimOption(const std::u16string& s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && IsOptionBlank(s[a]))
        ++a;
    while (b > a && IsOptionBlank(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

}  // namespace

void THtmlBuilder::StartForm()
{
    CurrentForm = ThtmlForm::Create(MasterList, Sc.Attributes());
}

void THtmlBuilder::EndForm()
{
    CurrentForm = nullptr;
}

ThtmlForm* THtmlBuilder::FormForControl()
{
    if (CurrentForm)
        return CurrentForm;
    // Controls outside every FORM share one form without attributes.
    if (!FormlessForm)
        FormlessForm = ThtmlForm::Create(MasterList, nullptr);
    return FormlessForm;
}

void THtmlBuilder::DoFormControl(bool readNext)
{
    const Symbol sy = Sc.Sy;
    EnsureSection();
    const std::string tag = sy == SelectSy ? "select" : sy == TextAreaSy ? "textarea" : "input";
    Push(tag);
    const TAttributeList* attributes = Sc.Attributes();
    const int tagStart = Sc.TagStartPos;
    // A border of the control's own style is drawn round it, from the tag on.
    if (Top().GetBorderStyle() != bssNone)
        MasterList->AddInline(tagStart, Top(), true);
    std::vector<TFormControlObj*> made = MakeFormControls(MasterList, FormForControl(), sy, attributes);
    for (TFormControlObj* control : made) {
        control->ProcessProperties(Top());
        if (!Section)
            continue;
        if (auto* image = dynamic_cast<TImageFormControlObj*>(control))
            // The picture stands in the text; the control keeps the keyboard.
            Section->AddObject(std::make_unique<TImageInputObj>(MasterList, image, attributes), tagStart);
        else if (control->HasWindow())  // hidden fields take no room
            Section->AddControl(control, tagStart);
    }
    TFormControlObj* first = made.empty() ? nullptr : made.front();
    if (sy == SelectSy) {
        ReadOptions(dynamic_cast<TSelectFormControlObj*>(first));
    } else if (sy == TextAreaSy) {
        ReadTextAreaContent(dynamic_cast<TTextAreaFormControlObj*>(first));
    }
    PopTag(tag);
    if (readNext && (sy != SelectSy || Sc.Sy == SelectEndSy))
        Next();
}

void THtmlBuilder::ReadOptions(TSelectFormControlObj* control)
{
    const bool savedNoBreak = NoBreak;
    NoBreak = false;
    MasterList->NoBreak = false;
    const SymbolSet stop{PSy,      EofSy,     TableEndSy, TDSy,   TDEndSy, TRSy,   TREndSy,  THSy,
                         THEndSy,  CaptionSy, CaptionEndSy, InputSy, SelectEndSy, ColSy, ColGroupSy};
    bool open = false;
    bool selected = false;
    std::vector<std::string> attributes;
    std::u16string text;
    int count = 0;
    auto close = [&] {
        if (open && control && count < MaxOptions) {
            control->AddOption(TrimOption(text), selected, std::move(attributes));
            ++count;
        }
        open = false;
        text.clear();
        attributes.clear();
    };
    for (;;) {
        Next();
        if (stop.Has(Sc.Sy))
            break;
        if (Sc.Sy == OptionSy || Sc.Sy == OptionEndSy) {
            close();
            if (Sc.Sy == OptionSy) {
                open = true;
                selected = Sc.Attributes()->Find(SelectedSy) != nullptr;
                attributes = Sc.Attributes()->ToStringList();
            }
        } else if (Sc.Sy == TextSy && open && text.size() < MaxTextAreaChars) {
            text += Sc.Token.Text();
        }
    }
    close();
    if (control)
        control->AddOptionsDone();
    NoBreak = savedNoBreak;
    MasterList->NoBreak = savedNoBreak;
}

void THtmlBuilder::ReadTextAreaContent(TTextAreaFormControlObj* control)
{
    // Read raw, not as tokens: the text is kept as written, only the closing tag ends it.
    const int codePage = Top().CodePage;
    std::string line;  // bytes of the document's code page
    std::size_t total = 0;
    auto addLine = [&](bool withBreak) {
        if (control && total < MaxTextAreaChars) {
            std::u16string text = platform::MultiByteToWide(codePage, line);
            if (withBreak)
                text += u"\r\n";
            total += text.size();
            control->AddLine(text);
        }
        line.clear();
    };
    while (Sc.Ch != 0) {
        if (Sc.Ch == '\r') {
            addLine(true);
            Sc.RawChar();
        } else if (Sc.Ch == '<') {
            std::string word = "<";
            Sc.RawChar();
            while (Sc.Ch != 0 && Sc.Ch != ' ' && Sc.Ch != '\r' && Sc.Ch != '>' && word.size() < 16) {
                word += char(Sc.Ch);
                Sc.RawChar();
            }
            if (platform::SameTextAscii(word, "</textarea"))
                break;
            line += word;
        } else if (Sc.Ch == '&') {
            line += Sc.DecodeEntityNarrow(codePage);
        } else {
            for (int n = 0; n < 100 && Sc.Ch != 0 && Sc.Ch != '\r' && Sc.Ch != '&' && Sc.Ch != '<'; ++n) {
                line += char(Sc.Ch);
                Sc.RawChar();
            }
        }
        // A long line without breaks is handed over in parts, cut after a byte below 0x40, which never is
        // part of a character of several bytes (UTF-8 or double-byte code pages).
        if (line.size() > 4096) {
            std::size_t cut = line.size();
            while (cut > 0 && static_cast<unsigned char>(line[cut - 1]) >= 0x40)
                --cut;
            if (cut > 0) {
                std::string rest = line.substr(cut);
                line.resize(cut);
                addLine(false);
                line = std::move(rest);
            }
        }
    }
    while (Sc.Ch != 0 && Sc.Ch != '>')
        Sc.RawChar();
    if (Sc.Ch != 0)
        Sc.ReadChar();
    if (!line.empty())
        addLine(false);
    if (control)
        control->ResetDone();
}
