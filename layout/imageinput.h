#pragma once
// The picture of an image submit button (INPUT TYPE=image): it stands in the text like a picture, shows the
// SRC picture (or an empty frame when there is none), and hands clicks on it to its form control.

#include <string>

#include "layout/floatingobj.h"

namespace platform {
class Bitmap;
}

class TAttributeList;
class TImageFormControlObj;
class TPictureObject;

class TImageInputObj : public TFloatingObj {
public:
    TImageInputObj(TSectionList* root, TImageFormControlObj* control, const TAttributeList* attributes);

    void FormatObject(TSectionList* root, platform::Canvas* canvas, int availWidth, int availHeight,
                      TFontObj* run) override;
    void Draw(platform::Canvas* canvas, int X, TFontObj* run, int baseline, int lineTop) override;
    std::unique_ptr<TFloatingObj> Copy(TSectionList* newRoot) const override;
    TFormControlObj* FormControl() const override;

private:
    TSectionList* Root;
    TImageFormControlObj* Control;  // owned by its form
    std::string Source;
    TPictureObject* Picture = nullptr;  // the image cache's
    platform::Bitmap* Mask = nullptr;
    bool Requested = false;
};
