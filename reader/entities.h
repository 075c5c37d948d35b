#pragma once
// Named character references.

#include <string_view>

// The code point of a named reference (case-sensitive), -1 when the name is unknown.
int LookupEntity(std::string_view name);
int EntityCount();
