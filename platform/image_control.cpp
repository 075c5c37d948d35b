#include "platform/image_control.h"

#include <QPainter>

#include "platform/qt/graphics_private.h"
#include "platform/qt/widget_control.h"

namespace platform {

struct Image::Data
{
    Bitmap picture;
    QImage drawable; // the picture as Qt draws it, made on first paint after a change
    bool dirty = true;
};

Image::Image(Control* parent) : Control(parent), p(std::make_unique<Data>())
{
    Impl& d = Internal();
    d.opaque = false;
    d.widget->setAttribute(Qt::WA_OpaquePaintEvent, false);
    d.directPaint = [this](QPainter& painter, const QRect&) {
        if (p->picture.Empty())
            return;
        if (p->dirty) {
            p->drawable = ToDrawableImage(p->picture);
            p->dirty = false;
        }
        painter.drawImage(QPoint(0, 0), p->drawable);
    };
}

Image::~Image() = default;

const Bitmap& Image::Picture() const
{
    return p->picture;
}
Bitmap& Image::Picture()
{
    return p->picture;
}

void Image::SetPicture(const Bitmap& picture)
{
    if (&picture != &p->picture)
        p->picture = picture;
    PictureChanged();
}

void Image::PictureChanged()
{
    p->dirty = true;
    Invalidate();
}

void Image::ClearPicture()
{
    p->picture = Bitmap();
    PictureChanged();
}

bool Image::CanFocus() const
{
    return false;
}

} // namespace platform
