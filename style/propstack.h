#pragma once
// The stack of open elements' properties while a document is built: the bottom entry holds the
// document defaults, the top one the element being read. Owns its entries.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/freelist.h"
#include "style/properties.h"

class TStyleList;

class TPropStack : public TFreeList<TProperties> {
public:
    TProperties& Top() const { return *Last(); }

    // The style list new entries are combined with; set by the builder before it pushes.
    TStyleList* Styles = nullptr;
    // Told when an entry with a border style is popped (its inline record closes).
    std::function<void(TProperties& props)> OnCloseInline;

    // Pushes a new entry derived from the top and combined with the style list.
    TProperties& PushProps(const std::string& tag, const std::string& cls, const std::string& id,
                           TProperties* inlineStyle, const std::string& title, const std::string& pseudo);
    // Removes the uppermost entry named tag (not the base); entries above it are derived again.
    void PopTag(const std::string& tag);
    // Removes the top entry, unless it is the base.
    void PopTop();

private:
    // Removed entries kept for the next pushes: a document pushes and pops an entry per element.
    std::vector<std::unique_ptr<TProperties>> FSpare;
    void Recycle(int index);
};
