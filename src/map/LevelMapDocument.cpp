#include "map/LevelMapDocument.h"

#include <algorithm>
#include <cstring>

#include <string.h>

namespace
{
// The documents alive on this thread, so that a layer reader handed only an
// element can find the text set aside for it.
thread_local std::vector<const LevelMapDocument*> liveDocuments;

bool startsWith(const char* at, const char* end, const char* prefix)
{
    const std::size_t length = std::strlen(prefix);
    return static_cast<std::size_t>(end - at) >= length && std::memcmp(at, prefix, length) == 0;
}

// The first byte after `marker`, searched from `from`; null when missing.
const char* after(const char* from, const char* end, const char* marker)
{
    const std::size_t length = std::strlen(marker);
    for (const char* at = from; at && end - at >= static_cast<std::ptrdiff_t>(length);)
    {
        at = static_cast<const char*>(std::memchr(at, marker[0], static_cast<std::size_t>(end - at)));
        if (!at)
            return nullptr;
        if (startsWith(at, end, marker))
            return at + length;
        ++at;
    }
    return nullptr;
}

std::size_t lineEnds(const char* at, const char* end)
{
    std::size_t count = 0;
    while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))))
    {
        ++count;
        ++at;
    }
    return count;
}

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t';
}

bool isNameEnd(char ch)
{
    return isSpace(ch) || ch == '/' || ch == '>';
}

// The '>' that ends the tag starting at `at`; quoted attribute values may
// hold '>' (and, for tinyxml2, even '<'). Null when the tag never ends.
const char* tagEnd(const char* at, const char* end)
{
    for (; at < end; ++at)
    {
        if (*at == '"' || *at == '\'')
        {
            at = static_cast<const char*>(std::memchr(at + 1, *at, static_cast<std::size_t>(end - at - 1)));
            if (!at)
                return nullptr;
        }
        else if (*at == '>')
            return at;
    }
    return nullptr;
}

// Whether the attributes between `at` and the tag's end say encoding="csv".
bool saysCsv(const char* at, const char* end)
{
    while (at < end)
    {
        while (at < end && (isSpace(*at) || *at == '/'))
            ++at;
        const char* name = at;
        while (at < end && !isSpace(*at) && *at != '=')
            ++at;
        const std::size_t nameLength = static_cast<std::size_t>(at - name);
        while (at < end && isSpace(*at))
            ++at;
        if (at >= end || *at != '=')
            return false;
        ++at;
        while (at < end && isSpace(*at))
            ++at;
        if (at >= end || (*at != '"' && *at != '\''))
            return false;
        const char* value = at + 1;
        const char* close = static_cast<const char*>(std::memchr(value, *at, static_cast<std::size_t>(end - value)));
        if (!close)
            return false;
        if (nameLength == 8 && std::memcmp(name, "encoding", 8) == 0)
            return close - value == 3 && std::memcmp(value, "csv", 3) == 0;
        at = close + 1;
    }
    return false;
}

bool firstDataSaysCsv(const char* begin, const char* end)
{
    for (const char* at = begin; at < end; ++at)
    {
        at = static_cast<const char*>(memmem(at, static_cast<std::size_t>(end - at), "<data", 5));
        if (!at)
            return false;
        if (at + 5 < end && isNameEnd(at[5]))
        {
            const char* close = tagEnd(at, end);
            return close && saysCsv(at + 5, close);
        }
    }
    return false;
}
}

LevelMapDocument::LevelMapDocument()
{
    liveDocuments.push_back(this);
}

LevelMapDocument::~LevelMapDocument()
{
    liveDocuments.erase(std::remove(liveDocuments.begin(), liveDocuments.end(), this), liveDocuments.end());
}

std::pair<const char*, const char*> LevelMapDocument::csvText(const tinyxml2::XMLElement* data)
{
    if (!data)
        return {nullptr, nullptr};
    for (const LevelMapDocument* live : liveDocuments)
    {
        if (&live->_document != data->GetDocument())
            continue;
        auto found = live->_texts.find(data);
        if (found != live->_texts.end())
            return {found->second.begin, found->second.end};
    }
    return {nullptr, nullptr};
}

tinyxml2::XMLError LevelMapDocument::parse(const char* bytes, std::size_t size)
{
    _texts.clear();
    // The editor writes every layer of a map in one encoding: a map whose
    // first layer is not CSV is spared the walk (and a mixed one merely
    // goes the ordinary way).
    const bool mayHaveCsv = bytes && firstDataSaysCsv(bytes, bytes + size);
    const bool anyCut = mayHaveCsv && scan(bytes, size) &&
                        std::any_of(_dataTags.begin(), _dataTags.end(), [](const Cut& tag) { return tag.cut; });
    if (anyCut)
    {
        const tinyxml2::XMLError result = _document.Parse(_reduced.data(), _reduced.size());
        _reduced.clear();
        _reduced.shrink_to_fit();
        if (result == tinyxml2::XML_SUCCESS && match())
            return result;
    }
    _texts.clear();
    return _document.Parse(bytes, size);
}

// Walks the markup in document order, as tinyxml2 will, noting every <data>
// start tag and cutting out the text of those that qualify. False when the
// document holds something this walk does not follow.
bool LevelMapDocument::scan(const char* bytes, std::size_t size)
{
    _reduced.clear();
    _reduced.reserve(size / 8);
    _dataTags.clear();
    const char* end = bytes + size;
    const char* copied = bytes;
    for (const char* p = bytes; p < end;)
    {
        const char* open = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p)));
        if (!open)
            break;
        if (startsWith(open, end, "<!--"))
            p = after(open + 4, end, "-->");
        else if (startsWith(open, end, "<![CDATA["))
            p = after(open + 9, end, "]]>");
        else if (startsWith(open, end, "<?"))
            p = after(open + 2, end, "?>");
        else if (startsWith(open, end, "<!"))
        {
            // A document type may declare entities of its own.
            const char* close = tagEnd(open, end);
            if (!close || std::memchr(open, '[', static_cast<std::size_t>(close - open)))
                return false;
            p = close + 1;
        }
        else
        {
            const char* close = tagEnd(open, end);
            if (!close)
                return false;
            p = close + 1;
            const bool isData = startsWith(open, end, "<data") && open + 5 < end && isNameEnd(open[5]);
            if (!isData)
                continue;
            _dataTags.emplace_back();
            if (close[-1] == '/' || !saysCsv(open + 5, close))
                continue;
            const char* text = p;
            const char* next = static_cast<const char*>(std::memchr(text, '<', static_cast<std::size_t>(end - text)));
            const bool plain = next && startsWith(next, end, "</data") && next + 6 < end && isNameEnd(next[6]) &&
                               !std::memchr(text, '&', static_cast<std::size_t>(next - text));
            if (!plain)
                continue;
            Cut& cut = _dataTags.back();
            cut.cut = true;
            cut.begin = text;
            cut.end = next;
            _reduced.append(copied, text);
            _reduced.append(lineEnds(text, next), '\n');
            copied = next;
            p = next;
        }
        if (!p)
            return false;
    }
    _reduced.append(copied, end);
    return true;
}

// The parsed document must hold the <data> elements the scan saw, in the
// same order, each cut one with nothing left in it but line ends.
bool LevelMapDocument::match()
{
    std::vector<const tinyxml2::XMLElement*> found;
    collectData(&_document, found);
    if (found.size() != _dataTags.size())
        return false;
    for (std::size_t i = 0; i < found.size(); ++i)
    {
        if (!_dataTags[i].cut)
            continue;
        const tinyxml2::XMLElement* data = found[i];
        const char* encoding = data->Attribute("encoding");
        const char* left = data->GetText();
        if (!encoding || std::strcmp(encoding, "csv") != 0 || data->FirstChildElement() ||
            (left && left[std::strspn(left, "\n")] != '\0'))
            return false;
        _texts[data] = _dataTags[i];
    }
    return true;
}

void LevelMapDocument::collectData(const tinyxml2::XMLNode* parent,
                                   std::vector<const tinyxml2::XMLElement*>& found) const
{
    for (const tinyxml2::XMLElement* child = parent->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        if (std::strcmp(child->Name(), "data") == 0)
            found.push_back(child);
        else
            collectData(child, found);
    }
}
