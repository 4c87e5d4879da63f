#pragma once

#include <functional>
#include <string>

namespace gui
{
// Breaks text into lines no wider than maxWidth, as measured by measure (in
// the same unit), at blanks where it can and inside a word only when the word
// alone is too wide. Line breaks already in the text are kept. A maxWidth of
// 0 or less leaves the text as it is.
std::string wrapText(const std::string& text, int maxWidth, const std::function<int(const std::string&)>& measure);
}
