#pragma once
// The clipboard's text, in UTF-16 (line ends as given, normally CR LF).

#include <string>

namespace platform {

void SetClipboardText(const std::u16string& text);
std::u16string GetClipboardText();

} // namespace platform
