#include "gui/TextWrap.h"

#include <vector>

namespace gui
{
namespace
{
std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true)
    {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// Appends a word too wide for any line, cut wherever the width runs out
// (at least one character a line, so the loop always advances).
void appendLongWord(const std::string& word, int maxWidth, const std::function<int(const std::string&)>& measure,
                    std::string& out, std::string& line)
{
    for (char ch : word)
    {
        if (!line.empty() && measure(line + ch) > maxWidth)
        {
            out += line + "\n";
            line.clear();
        }
        line += ch;
    }
}

std::string wrapLine(const std::string& paragraph, int maxWidth, const std::function<int(const std::string&)>& measure)
{
    std::string out;
    std::string line;
    for (const std::string& word : split(paragraph, ' '))
    {
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (measure(candidate) <= maxWidth)
        {
            line = candidate;
            continue;
        }
        if (!line.empty())
        {
            out += line + "\n";
            line.clear();
        }
        if (measure(word) <= maxWidth)
            line = word;
        else
            appendLongWord(word, maxWidth, measure, out, line);
    }
    return out + line;
}
}

std::string wrapText(const std::string& text, int maxWidth, const std::function<int(const std::string&)>& measure)
{
    if (maxWidth <= 0)
        return text;
    std::string out;
    const std::vector<std::string> paragraphs = split(text, '\n');
    for (size_t i = 0; i < paragraphs.size(); ++i)
    {
        if (i > 0)
            out += "\n";
        out += wrapLine(paragraphs[i], maxWidth, measure);
    }
    return out;
}
}
