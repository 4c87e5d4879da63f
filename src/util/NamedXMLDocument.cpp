#include "util/NamedXMLDocument.h"

NamedXMLDocument::NamedXMLDocument(const std::string& fileName, bool processEntities, tinyxml2::Whitespace whitespace)
    : tinyxml2::XMLDocument(processEntities, whitespace), _fileName(fileName)
{
}

std::string NamedXMLDocument::fileOf(const tinyxml2::XMLElement* element)
{
    const NamedXMLDocument* named = element ? dynamic_cast<const NamedXMLDocument*>(element->GetDocument()) : nullptr;
    return named ? named->fileName() : "(unnamed document)";
}
