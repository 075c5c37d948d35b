#include "platform/buttons.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "platform/errors.h"
#include "platform/qt/widget_control.h"

namespace platform {

namespace {

QString ToQString(const std::u16string& s)
{
    return QString(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size()));
}

} // namespace

struct Button::Data
{
    QPushButton* button = nullptr;
};

Button::Button(Control* parent)
    : StdControl(parent, new QPushButton(parent ? WidgetOf(parent) : nullptr)), b(std::make_unique<Data>())
{
    b->button = static_cast<QPushButton*>(WidgetOf(this));
    b->button->setAutoDefault(false);
    UseActivationClicks();
    QObject::connect(b->button, &QPushButton::clicked, b->button, [this] {
        DispatchScope scope;
        CallGuarded([&] { ActivationClick(); });
    });
    SetBounds(0, 0, 75, 25);
}

Button::~Button()
{
    if (b->button)
        QObject::disconnect(b->button, nullptr, b->button, nullptr);
}

std::u16string Button::Caption() const
{
    const QString t = b->button->text();
    return std::u16string(reinterpret_cast<const char16_t*>(t.utf16()), std::size_t(t.size()));
}

void Button::SetCaption(const std::u16string& caption)
{
    // "&" is a plain character in captions from pages, not a mnemonic mark.
    QString text = ToQString(caption);
    text.replace(QLatin1String("&"), QLatin1String("&&"));
    b->button->setText(text);
}

struct CheckBox::Data
{
    QCheckBox* box = nullptr;
};

CheckBox::CheckBox(Control* parent)
    : StdControl(parent, new QCheckBox(parent ? WidgetOf(parent) : nullptr)), b(std::make_unique<Data>())
{
    b->box = static_cast<QCheckBox*>(WidgetOf(this));
    UseActivationClicks();
    QObject::connect(b->box, &QCheckBox::clicked, b->box, [this] {
        DispatchScope scope;
        CallGuarded([&] { ActivationClick(); });
    });
    SetBounds(0, 0, 13, 13);
}

CheckBox::~CheckBox()
{
    if (b->box)
        QObject::disconnect(b->box, nullptr, b->box, nullptr);
}

bool CheckBox::Checked() const
{
    return b->box->isChecked();
}

void CheckBox::SetChecked(bool value)
{
    QSignalBlocker block(b->box);
    b->box->setChecked(value);
}

struct RadioButton::Data
{
    QRadioButton* radio = nullptr;
};

RadioButton::RadioButton(Control* parent)
    : StdControl(parent, new QRadioButton(parent ? WidgetOf(parent) : nullptr)), b(std::make_unique<Data>())
{
    b->radio = static_cast<QRadioButton*>(WidgetOf(this));
    // Groups are kept by the program (by name, across the page), not by the window's parent.
    b->radio->setAutoExclusive(false);
    UseActivationClicks();
    QObject::connect(b->radio, &QRadioButton::clicked, b->radio, [this] {
        DispatchScope scope;
        CallGuarded([&] {
            // A click on a checked radio button leaves it checked.
            if (!b->radio->isChecked()) {
                QSignalBlocker block(b->radio);
                b->radio->setChecked(true);
            }
            ActivationClick();
        });
    });
    SetBounds(0, 0, 13, 14);
}

RadioButton::~RadioButton()
{
    if (b->radio)
        QObject::disconnect(b->radio, nullptr, b->radio, nullptr);
}

bool RadioButton::Checked() const
{
    return b->radio->isChecked();
}

void RadioButton::SetChecked(bool value)
{
    QSignalBlocker block(b->radio);
    b->radio->setChecked(value);
}

} // namespace platform
