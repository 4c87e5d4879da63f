#include <climits>
#include <sstream>

#include <gtest/gtest.h>

#include "Log/Log.h"
#include "support/LogCapture.h"
#include "util/NamedXMLDocument.h"
#include "util/XMLNumbers.h"

namespace
{
struct NumberCase
{
    const char* attribute; // the attribute as written, or null for none
    int min;
    int max;
    int expected;
    const char* logged; // what the error line says, or "" for no line
};

class ReadIntAttribute : public ::testing::TestWithParam<NumberCase>
{
protected:
    testsupport::ErrorCapture _errors;
};

TEST_P(ReadIntAttribute, ReadsWholeNumbersAndNamesEveryBadOne)
{
    const NumberCase& c = GetParam();
    const std::string xml = std::string("<stats/>\n<character id=\"fenwy\" ") +
                            (c.attribute ? std::string("level=\"") + c.attribute + "\"" : "") + "/>";
    NamedXMLDocument document("assets/party.xml");
    ASSERT_EQ(document.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
    const tinyxml2::XMLElement* element = document.FirstChildElement()->NextSiblingElement();
    EXPECT_EQ(readIntAttribute(element, "level", -7, c.min, c.max), c.expected);
    if (*c.logged == '\0')
        EXPECT_EQ(_errors.text(), "");
    else
        EXPECT_EQ(_errors.text(), Log::prefix("Error") +
                                      "readIntAttribute - assets/party.xml, line 2, <character> "
                                      "attribute \"level\" = \"" +
                                      c.attribute + "\" " + c.logged + "; read as -7\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadIntAttribute,
    ::testing::Values(NumberCase{nullptr, INT_MIN, INT_MAX, -7, ""}, NumberCase{"12", INT_MIN, INT_MAX, 12, ""},
                      NumberCase{" -3 ", INT_MIN, INT_MAX, -3, ""}, NumberCase{"+4", INT_MIN, INT_MAX, 4, ""},
                      NumberCase{"-2147483648", INT_MIN, INT_MAX, INT_MIN, ""},
                      NumberCase{"2147483647", INT_MIN, INT_MAX, INT_MAX, ""},
                      NumberCase{"abc", INT_MIN, INT_MAX, -7, "is not a whole number"},
                      NumberCase{"", INT_MIN, INT_MAX, -7, "is not a whole number"},
                      NumberCase{"12abc", INT_MIN, INT_MAX, -7, "is not a whole number"},
                      NumberCase{"1.5", INT_MIN, INT_MAX, -7, "is not a whole number"},
                      NumberCase{"99999999999999999999", INT_MIN, INT_MAX, -7, "is not a whole number"},
                      NumberCase{"3079215105", INT_MIN, INT_MAX, -7, "is outside -2147483648 to 2147483647"},
                      NumberCase{"11", 1, 10, -7, "is outside 1 to 10"},
                      NumberCase{"0", 1, 10, -7, "is outside 1 to 10"}, NumberCase{"10", 1, 10, 10, ""}));

TEST(NamedXMLDocument, ElementsOfOtherDocumentsHaveNoFileName)
{
    tinyxml2::XMLDocument plain;
    ASSERT_EQ(plain.Parse("<a/>"), tinyxml2::XML_SUCCESS);
    EXPECT_EQ(NamedXMLDocument::fileOf(plain.FirstChildElement()), "(unnamed document)");
    EXPECT_EQ(NamedXMLDocument::fileOf(nullptr), "(unnamed document)");
}
}
