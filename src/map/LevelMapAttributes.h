#pragma once

#include <string>

#include <tinyxml2.h>

// Reading numbers from tile-map attributes. A missing attribute is not an
// error (it reads as the fallback), but text that is not a number is: a
// map whose sizes cannot be read must be refused, not drawn at size zero.
class LevelMapAttributes
{
public:
    // False, with `problem` set, when the attribute is present but not an
    // integer.
    static bool readInt(const tinyxml2::XMLElement* element, const char* name, int fallback, int& value,
                        std::string& problem);
    // Like readInt, and also refuses negative values.
    static bool readCount(const tinyxml2::XMLElement* element, const char* name, int fallback, int& value,
                          std::string& problem);
    // Object coordinates are written as decimals by the editor.
    static bool readNumber(const tinyxml2::XMLElement* element, const char* name, double fallback, double& value,
                           std::string& problem);
    static std::string text(const tinyxml2::XMLElement* element, const char* name);
    static bool has(const tinyxml2::XMLElement* element, const char* name);
};
