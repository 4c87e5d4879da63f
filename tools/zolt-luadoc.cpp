// zolt-luadoc [PAGE]: prints the scripting vocabulary read from the engine's
// binding tables; with PAGE (docs/making-a-game.md) rewrites the page's
// generated part in place instead.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "session/LuaVocabulary.h"

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::cout << core::LuaVocabulary::markdown();
        return 0;
    }
    std::ifstream in(argv[1]);
    std::ostringstream page;
    page << in.rdbuf();
    const std::string refreshed = core::LuaVocabulary::refreshPage(page.str());
    if (!in || refreshed.empty())
    {
        std::fprintf(stderr, "zolt-luadoc: %s lacks the lines that mark the generated part:\n%s\n%s\n", argv[1],
                     core::LuaVocabulary::BEGIN_MARK, core::LuaVocabulary::END_MARK);
        return 1;
    }
    std::ofstream(argv[1]) << refreshed;
    return 0;
}
