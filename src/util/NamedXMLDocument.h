#pragma once

#include <string>

#include <tinyxml2.h>

// An XML document that remembers the file it was read from, so that a reader
// handed only an element can still name the file in its error lines.
class NamedXMLDocument : public tinyxml2::XMLDocument
{
public:
    explicit NamedXMLDocument(const std::string& fileName, bool processEntities = true,
                              tinyxml2::Whitespace whitespace = tinyxml2::PRESERVE_WHITESPACE);

    const std::string& fileName() const { return _fileName; }

    // The file the element was read from, or "(unnamed document)" when its
    // document is not a NamedXMLDocument.
    static std::string fileOf(const tinyxml2::XMLElement* element);

private:
    std::string _fileName;
};
