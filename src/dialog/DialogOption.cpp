#include "dialog/DialogOption.h"

namespace core
{
DialogOption::DialogOption()
{
}

DialogOption::DialogOption(const std::string& requirement, const std::string& text, const std::string& nextId)
    : requirement(requirement), text(text), nextId(nextId)
{
}

void DialogOption::intializeDialogOption(const std::string& requirement, const std::string& text,
                                         const std::string& nextId)
{
    this->requirement = requirement;
    this->text = text;
    this->nextId = nextId;
}
}
