#pragma once

#include <string>
#include <vector>

namespace application
{
// Where F12's pictures go and how they are written, apart from the window so
// that folders, names and failures can be checked without one.
class Screenshots
{
public:
    // `picturesDirectory` when it is set (the player's own pictures), else
    // <data>/<game id>/screenshots beside the game's other files; empty when
    // neither says where.
    static std::string folderFor(const std::string& picturesDirectory, const std::string& dataDirectory,
                                 const std::string& gameId);

    // Writes `rgba` (width x height x 4 bytes, top row first) as a PNG in
    // `folder`, made when missing, under a name no earlier picture has:
    // zolt-<stamp>.png, or zolt-<stamp>-2.png and on when that is taken.
    // Returns the file's path, or empty with `problem` saying why.
    static std::string save(const std::string& folder, const std::string& stamp, int width, int height,
                            const std::vector<unsigned char>& rgba, std::string& problem);

    // The local time as YYYYMMDD-HHMMSS, to name a picture by.
    static std::string timeStamp();

private:
    // Creates the file so that no other picture can take the name; empty
    // when no name could be had.
    static std::string claimName(const std::string& folder, const std::string& stamp, std::string& problem);
};
}
