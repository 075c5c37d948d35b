#pragma once
// Text labels: one caption drawn in the control's font and font colour, aligned left, right or centred,
// over the label's colour or, when transparent, over whatever lies behind. The size never follows the
// text (no auto-size): callers set the width.

#include <string>

#include "platform/control.h"

namespace platform {

enum TAlignment
{
    taLeftJustify,
    taRightJustify,
    taCenter
};

class Label : public Control
{
public:
    explicit Label(Control* parent);

    const std::u16string& Caption() const;
    void SetCaption(const std::u16string& caption);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment value);
    bool Transparent() const;
    void SetTransparent(bool value);
    bool CanFocus() const override;

private:
    std::u16string caption_;
    TAlignment alignment_ = taLeftJustify;
    bool transparent_ = false;
};

} // namespace platform
