#include "application/Screenshots.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "graphics/TGPngWriter.h"

namespace fs = std::filesystem;

namespace application
{
namespace
{
// Past this many pictures in one second something is wrong with the folder.
const int MAX_TRIES = 1000;
}

std::string Screenshots::folderFor(const std::string& picturesDirectory, const std::string& dataDirectory,
                                   const std::string& gameId)
{
    if (!picturesDirectory.empty())
        return picturesDirectory;
    if (dataDirectory.empty())
        return std::string();
    const std::string game = gameId.empty() ? std::string("game") : gameId;
    return dataDirectory + "/" + game + "/screenshots";
}

std::string Screenshots::save(const std::string& folder, const std::string& stamp, int width, int height,
                              const std::vector<unsigned char>& rgba, std::string& problem)
{
    if (folder.empty())
    {
        problem = "no folder for pictures (neither XDG_PICTURES_DIR, XDG_DATA_HOME nor HOME is set)";
        return std::string();
    }
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)
    {
        problem = "the window's picture could not be read";
        return std::string();
    }
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
    {
        problem = "cannot create " + folder + ": " + error.message();
        return std::string();
    }
    const std::string path = claimName(folder, stamp, problem);
    if (path.empty())
        return std::string();
    tamsygraphics::PngWriter png;
    if (!png.Open(path, width, height, problem) || !png.WriteRows(rgba.data(), height, problem) || !png.Finish(problem))
    {
        // The claimed name must not stay behind as an empty picture.
        fs::remove(path, error);
        return std::string();
    }
    return path;
}

std::string Screenshots::timeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

std::string Screenshots::claimName(const std::string& folder, const std::string& stamp, std::string& problem)
{
    for (int n = 1; n <= MAX_TRIES; ++n)
    {
        const std::string path =
            folder + "/zolt-" + stamp + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".png";
        // O_EXCL: a picture taken earlier (or by another game at once) is
        // never written over.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0)
        {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
        {
            problem = "cannot write in " + folder + ": " + std::strerror(errno);
            return std::string();
        }
    }
    problem = "no free name for a picture in " + folder;
    return std::string();
}
}
