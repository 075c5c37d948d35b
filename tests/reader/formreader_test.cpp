// Reading forms: FORM attributes, the OPTIONs of a SELECT, the raw text of a TEXTAREA, controls inside
// preformatted text, and where each control stands in its section.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "layout/blocks.h"
#include "layout/formcontrols.h"
#include "layout/forms.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/codepage.h"
#include "platform/controls.h"
#include "platform/editcontrols.h"
#include "platform/form.h"
#include "platform/testing.h"
#include "reader/builder.h"

namespace {

class FormReaderTest : public ::testing::Test {
protected:
    FormReaderTest()
    {
        Window.SetBounds(0, 0, 300, 200);
        Panel = &Window.Add<platform::PaintBox>();
        Root = std::make_unique<TSectionList>(nullptr, Panel);
    }
    ~FormReaderTest() override
    {
        Root.reset();
        platform::test::ProcessEvents();
    }
    void Build(const std::string& html)
    {
        Root->Clear();
        Root->SetFonts("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF0000, 0xFFFFFF, false, true,
                       platform::DEFAULT_CHARSET, 0, 0);
        Builder.ParseHtml(html, *Root, THtmlHost{});
    }
    template <class T>
    T* Control(int index)
    {
        int n = 0;
        for (TFormControlObj* c : Root->FormControls)
            if (auto* t = dynamic_cast<T*>(c))
                if (n++ == index)
                    return t;
        return nullptr;
    }

    platform::Form Window;
    platform::PaintBox* Panel = nullptr;
    std::unique_ptr<TSectionList> Root;
    THtmlBuilder Builder;
};

TEST_F(FormReaderTest, FormAttributes)
{
    Build("<form method=\"postal\" action=\"/cgi/x?a=1\" target=_top enctype=\"multipart/form-data\">"
          "<input name=a></form><form><input name=b></form>");
    ASSERT_EQ(Root->Forms.Count(), 2);
    const ThtmlForm& f = *Root->Forms[0];
    EXPECT_EQ(f.Method, "post");
    EXPECT_EQ(f.Action, "/cgi/x?a=1");
    EXPECT_EQ(f.Target, "_top");
    EXPECT_EQ(f.EncType, "multipart/form-data");
    EXPECT_EQ(Root->Forms[1]->Method, "Get");
    EXPECT_EQ(Control<TEditFormControlObj>(1)->MyForm, Root->Forms[1]);
    // A FORM inside a form ends the first and starts a second.
    Build("<form action=one><input name=a><form action=two><input name=b></form><input name=c>");
    EXPECT_EQ(Control<TEditFormControlObj>(0)->MyForm->Action, "one");
    EXPECT_EQ(Control<TEditFormControlObj>(1)->MyForm->Action, "two");
    EXPECT_EQ(Control<TEditFormControlObj>(2)->MyForm->Action, "") << "after /FORM: the form of loose controls";
}

TEST_F(FormReaderTest, OptionsAreTrimmedAndTakeTheirValues)
{
    Build("<select name=s><option value=\"v1\" selected>  first \r\n</option>"
          "<option>\r\n second  <option>third<b>bold</b></select>after");
    auto* combo = Control<TComboFormControlObj>(0);
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->Options.Count(), 3);
    EXPECT_EQ(combo->Options.Text(0), u"first");
    EXPECT_EQ(combo->Options.Value(0), "v1");
    EXPECT_TRUE(combo->Options.Selected(0));
    EXPECT_EQ(combo->Options.Text(1), u"second");
    EXPECT_EQ(combo->Options.Value(1), "second");
    EXPECT_EQ(combo->Options.Text(2), u"thirdbold");
    EXPECT_EQ(combo->Options.Value(7), "");
    EXPECT_FALSE(combo->Options.Selected(-1));
    // The SELECT's content never becomes text; what follows it does.
    ASSERT_NE(Root->FormControls.front(), nullptr);

    // An INPUT ends the options of a SELECT that is not closed.
    Build("<select name=s multiple><option>a<option>b<input name=next>");
    auto* list = Control<TListBoxFormControlObj>(0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Options.Count(), 2);
    EXPECT_NE(Control<TEditFormControlObj>(0), nullptr);
}

TEST_F(FormReaderTest, TextAreaTextIsKeptAsWritten)
{
    Build("<textarea name=t>a < b &amp; <i>c</i>\n  indented\n</TeXtArEa>z");
    auto* area = Control<TTextAreaFormControlObj>(0);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->Text(), "a < b & <i>c</i>\r\n  indented\r\n");
    // An unclosed text area runs to the end of the input.
    Build("<textarea name=t>all <b>the</b> rest");
    EXPECT_EQ(Control<TTextAreaFormControlObj>(0)->Text(), "all <b>the</b> rest");
    // Characters of the page's code page.
    Build("<meta http-equiv=content-type content=\"text/html; charset=windows-1251\">"
          "<textarea name=t>\xcf\xf0\xe8\xe2\xe5\xf2</textarea>");
    EXPECT_EQ(Control<TTextAreaFormControlObj>(0)->TheMemo() != nullptr, true);
    EXPECT_EQ(Control<TTextAreaFormControlObj>(0)->Text(), "\xcf\xf0\xe8\xe2\xe5\xf2");
    // A long line of characters of several bytes keeps every character.
    std::string longLine;
    for (int i = 0; i < 3000; ++i)
        longLine += "\xd0\x96";  // U+0416 in UTF-8
    Build("<meta http-equiv=content-type content=\"text/html; charset=utf-8\">"
          "<textarea name=t>" + longLine + " " + longLine + "</textarea>");
    EXPECT_EQ(Control<TTextAreaFormControlObj>(0)->TheMemo()->Text(),
              std::u16string(3000, u'\u0416') + u" " + std::u16string(3000, u'\u0416'));
}

TEST_F(FormReaderTest, ControlsStandInTheirSections)
{
    Build("<p>name <input name=n> <input type=hidden name=h value=1> <input type=file name=f> end</p>"
          "<pre>x <select name=s><option>o</select> y\n<textarea name=t>t</textarea></pre>");
    std::vector<TSection*> sections;
    std::function<void(const TCellBasic&)> walk = [&](const TCellBasic& cell) {
        for (const auto& item : cell) {
            if (auto* s = dynamic_cast<TSection*>(item.get()))
                sections.push_back(s);
            else if (auto* b = dynamic_cast<TBlock*>(item.get()))
                walk(*b->MyCell);
        }
    };
    walk(*Root);
    int placed = 0;
    for (TSection* s : sections) {
        for (TFormControlObj* c : s->Controls) {
            EXPECT_EQ(s->Text[std::size_t(c->Pos)], FmCtl);
            ++placed;
        }
    }
    // The edit, the file edit and its browse button, the drop-down list and the text area; not the hidden field.
    EXPECT_EQ(placed, 5);
    EXPECT_EQ(Root->FormControls.size(), 6u);
    auto* browse = Control<TButtonFormControlObj>(0);
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->Kind, bkBrowse);
    EXPECT_EQ(browse->MyEdit, Control<TEditFormControlObj>(1));
    EXPECT_EQ(Control<TComboFormControlObj>(0)->Options.Count(), 1);
    EXPECT_EQ(Control<TTextAreaFormControlObj>(0)->Text(), "t");
}

}  // namespace
