#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <tinyxml2.h>

// A tile-map file parsed by tinyxml2, with the text of its CSV layers kept
// aside. tinyxml2 walks every character of an element's text twice (once
// to find its end, once more to normalise it when it is read), which for a
// CSV layer costs more than turning its numbers into ids. So before parsing,
// each <data encoding="csv"> whose content is plain text (no markup, no
// entities) is cut out of the copy that tinyxml2 parses, keeping its line
// ends so that tinyxml2's line numbers stay those of the file, and the
// layer reader takes the text from here instead.
//
// Anything the cutting cannot be sure of (a document type with its own
// declarations, a layer whose text holds entities or markup) is left to
// tinyxml2, and if the parsed document does not line up with what was cut
// the whole file is parsed again as it is: the result never depends on
// whether the shortcut was taken.
class LevelMapDocument
{
public:
    LevelMapDocument();
    ~LevelMapDocument();
    LevelMapDocument(const LevelMapDocument&) = delete;
    LevelMapDocument& operator=(const LevelMapDocument&) = delete;

    // Parses the bytes (which need not end in a null). The result is
    // tinyxml2's, as parsing them directly would give it. The CSV texts are
    // read from `bytes` itself, which must outlive the reading of the layers.
    tinyxml2::XMLError parse(const char* bytes, std::size_t size);
    const tinyxml2::XMLDocument& document() const { return _document; }

    // The raw CSV text of a <data> element of a live document, from its
    // first character to the '<' after its last; nulls when its text was
    // left in the document (read it with GetText then).
    static std::pair<const char*, const char*> csvText(const tinyxml2::XMLElement* data);
    // How many <data> texts the last parse set aside; for tests.
    std::size_t setAside() const { return _texts.size(); }

private:
    struct Cut
    {
        const char* begin = nullptr;
        const char* end = nullptr;
        bool cut = false;
    };
    bool scan(const char* bytes, std::size_t size);
    bool match();
    void collectData(const tinyxml2::XMLNode* parent, std::vector<const tinyxml2::XMLElement*>& found) const;

    tinyxml2::XMLDocument _document;
    // The file with the CSV texts cut out, while it is parsed.
    std::string _reduced;
    std::vector<Cut> _dataTags;
    std::unordered_map<const tinyxml2::XMLElement*, Cut> _texts;
};
