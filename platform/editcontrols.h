#pragma once
// Text entry controls: the single-line edit (optionally showing "*" for every character, limited in
// length, read-only) and the multi-line memo (wrapping or not, with scroll bars).

#include <string>
#include <vector>

#include "platform/stdcontrol.h"

namespace platform {

class Edit : public StdControl
{
public:
    explicit Edit(Control* parent);
    ~Edit() override;

    std::u16string Text() const;
    void SetText(const std::u16string& text);
    // 0: no limit.
    int MaxLength() const;
    void SetMaxLength(int value);
    // 0: characters are shown as typed; any other: every character is shown as this one.
    char16_t PasswordChar() const;
    void SetPasswordChar(char16_t value);
    bool ReadOnly() const;
    void SetReadOnly(bool value);
    // The caret position (0 = before the first character) and the selection.
    int SelStart() const;
    void SetSelStart(int value);
    void SelectAll();

    // The text changed (by typing or by the program).
    TNotifyEvent OnChange;

private:
    struct Data;
    std::unique_ptr<Data> e;
};

enum TMemoScrollBars
{
    msNone,
    msHorizontal,
    msVertical,
    msBoth
};

class Memo : public StdControl
{
public:
    explicit Memo(Control* parent);
    ~Memo() override;

    // Lines are separated by CR LF.
    std::u16string Text() const;
    void SetText(const std::u16string& text);
    // Adds a line at the end.
    void AddLine(const std::u16string& line);
    bool WordWrap() const;
    void SetWordWrap(bool value);
    TMemoScrollBars ScrollBars() const;
    void SetScrollBars(TMemoScrollBars value);
    bool ReadOnly() const;
    void SetReadOnly(bool value);
    // Caret to the start of the text, scrolled to the top.
    void CaretToStart();
    // The lines as the control shows them now (wrapped lines apart), without line ends.
    std::vector<std::u16string> DisplayedLines() const;

    TNotifyEvent OnChange;

private:
    struct Data;
    std::unique_ptr<Data> m;
};

} // namespace platform
