#pragma once

#include <climits>

#include <tinyxml2.h>

// True with the number when the whole text (surrounding blanks aside) is one
// base-ten whole number that fits a long long.
bool parseWholeNumber(const char* text, long long& value);

// Whole numbers read from data-file attributes. A missing attribute reads
// as the fallback without a word; text that is not a whole number, or one
// outside [min, max], is logged with the file, line, element and attribute
// and also reads as the fallback.
int readIntAttribute(const tinyxml2::XMLElement* element, const char* name, int fallback = 0, int min = INT_MIN,
                     int max = INT_MAX);
