#pragma once

namespace application
{
class ZOLT
{
public:
    void runApp();
};
}
