#pragma once

#include <string>

namespace core
{
// One answer the player may give: offered when its requirement holds, and
// leading to the node named by nextId ("exit" or empty ends the talk).
class DialogOption
{
public:
    DialogOption();
    DialogOption(const std::string& requirement, const std::string& text, const std::string& nextId);

    void intializeDialogOption(const std::string& requirement, const std::string& text, const std::string& nextId);

    std::string requirement;
    std::string text;
    std::string nextId;
};
}
