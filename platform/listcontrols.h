#pragma once
// Lists of texts: the list box (one or many selected) and the drop-down list (one selected, chosen from a
// list that opens under the control).

#include <string>
#include <vector>

#include "platform/stdcontrol.h"

namespace platform {

class ListBox : public StdControl
{
public:
    explicit ListBox(Control* parent);
    ~ListBox() override;

    void Clear();
    void AddItem(const std::u16string& text);
    // Adds many at once (faster than one by one).
    void AddItems(const std::vector<std::u16string>& texts);
    int Count() const;
    std::u16string Item(int index) const;
    bool MultiSelect() const;
    void SetMultiSelect(bool value);
    // Out of range: false / nothing.
    bool Selected(int index) const;
    void SetSelected(int index, bool value);
    // The current item (-1: none); setting it selects only that item.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int TopIndex() const;
    void SetTopIndex(int index);
    // The height of one row for the control's font.
    int ItemHeight() const;

private:
    struct Data;
    std::unique_ptr<Data> l;
};

class ComboBox : public StdControl
{
public:
    explicit ComboBox(Control* parent);
    ~ComboBox() override;

    void Clear();
    void AddItem(const std::u16string& text);
    void AddItems(const std::vector<std::u16string>& texts);
    int Count() const;
    std::u16string Item(int index) const;
    // -1: none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The shown text of the current item.
    std::u16string Text() const;
    // The height the control takes for its font when left to itself.
    int NaturalHeight() const;

    // The user chose another item.
    TNotifyEvent OnChange;

private:
    struct Data;
    std::unique_ptr<Data> c;
};

} // namespace platform
