#include "app/infocloseunit.h"

#include "app/infounit.h"
#include "app/skin.h"

namespace {

constexpr platform::TColor kPlainBack = platform::RGB(0x2a, 0x18, 0x10);
constexpr platform::TColor kPlainButton = platform::RGB(0x6a, 0x3a, 0x20);
constexpr platform::TColor kPlainHighlight = platform::RGB(0xd9, 0x71, 0x1c);

}  // namespace

TInfoCloseForm::TInfoCloseForm(TInfoForm* owner) : platform::Form(owner), InfoForm(owner)
{
    SetName("InfoCloseForm");
    SetCaption(u"Вопрос");
    SetBorderless(true);
    SetClientSize(250, 400);
    SetPosition(platform::poOwnerFormCenter);
    platform::LogFont lf;
    lf.Name = "MS Sans Serif";
    lf.Height = -11;
    SetFont(lf);

    Back = &Add<platform::Image>();
    Back->SetName("Back");
    Back->SetBounds(0, 0, 250, 400);
    Back->SetPicture(LoadSkinPicture("question", 250, 400, kPlainBack, u"Закрыть программу?"));

    auto button = [this](const char* name, int left, const char* skin, const std::u16string& caption) {
        TImgBtn& b = Add<TImgBtn>();
        b.SetName(name);
        b.SetBounds(left, 335, 101, 41);
        b.SetCursor(platform::crHandPoint);
        b.SetPic(LoadSkinPicture(skin, 101, 41, kPlainButton, caption));
        platform::Bitmap highlight = LoadSkinPicture(std::string(skin) + "_hi", 101, 41, kPlainHighlight, caption);
        b.SetPicDown(highlight);
        b.SetPicUp(highlight);
        b.OnClick = [this](platform::Control* s) { BtnYesClick(s); };
        return &b;
    };
    BtnYes = button("BtnYes", 16, "btnyes", u"Да");
    BtnNo = button("BtnNo", 133, "btnno", u"Нет");
}

TInfoCloseForm::~TInfoCloseForm() = default;

void TInfoCloseForm::BtnYesClick(platform::Control* Sender)
{
    if (Sender == BtnYes) {
        if (InfoForm)
            InfoForm->Close();
    } else {
        Close();
    }
}
