#pragma once
// The picture control: shows a bitmap at its natural size from the top-left corner. It takes no focus;
// the parent shows through where the picture does not reach. A left press captures the mouse and a
// release over the control raises OnClick, as for every control.

#include <memory>

#include "platform/bitmap.h"
#include "platform/control.h"

namespace platform {

class Image : public Control
{
public:
    explicit Image(Control* parent);
    ~Image() override;

    const Bitmap& Picture() const;
    // The picture for editing in place; call PictureChanged() afterwards.
    Bitmap& Picture();
    // Shows a copy of picture.
    void SetPicture(const Bitmap& picture);
    void PictureChanged();
    // Empties the picture.
    void ClearPicture();

    bool CanFocus() const override;

private:
    struct Data;
    std::unique_ptr<Data> p;
};

} // namespace platform
