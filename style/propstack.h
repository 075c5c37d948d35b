#pragma once
// The stack of open elements' properties while a document is built: the bottom entry holds the
// document defaults, the top one the element being read. Owns its entries.

#include "reader/freelist.h"
#include "style/properties.h"

class TPropStack : public TFreeList<TProperties> {
public:
    TProperties& Top() const { return *Last(); }
};
