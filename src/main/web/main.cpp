// The game in a web page. The page has packed the game's folder at /game;
// the player's saves live in the browser's storage, mounted at /saves and
// read back before the game starts, so a save outlives a reload.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <emscripten.h>

#include "Log/Log.h"
#include "application/FramePacer.h"
#include "application/ZOLT.h"
#include "data/Character.h"
#include "save/SaveStore.h"
#include "session/Session.h"
#include "sound/SoundHandler.h"

namespace
{
const char* const GAME_FOLDER = "/game";

application::ZOLT* game = nullptr;
application::FramePacer pacer;

// The browser calls this once per display refresh; the pacer keeps the
// game at its designed 60 frames a second on faster displays.
void frame()
{
    if (!pacer.takeDueFrame())
        return;
    if (!game->runFrame())
    {
        // Quitting (Escape) ends the loop; the page stays with its last frame.
        sound::SoundHandler::erase();
        emscripten_cancel_main_loop();
        // Playing again starts afresh, as a new process does on the desktop.
        if (game->restartRequested())
            EM_ASM({ location.reload(); });
    }
}

// Files written under /saves are in memory until copied to the browser's
// storage; every completed save is copied at once.
void storeSaves(const std::string&)
{
    EM_ASM({
        FS.syncfs(
            false, function(error) {
                if (error)
                    console.error("zolt: saves could not be stored in the browser: " + error);
                else
                    Module.zoltSavesStored = (Module.zoltSavesStored || 0) + 1;
            });
    });
}
}

// Called from the page once the stored saves have been read back.
extern "C" EMSCRIPTEN_KEEPALIVE void zolt_web_start()
{
    if (::chdir(GAME_FOLDER) != 0)
    {
        Log::error() << "zolt: " << GAME_FOLDER << ": the packed game is missing from the page" << std::endl;
        return;
    }
    core::SaveStore::setWrittenHook(&storeSaves);
    game = new application::ZOLT();
    // The page's tests compare its first frame with the native game's, which
    // they start in the first scene.
    game->setStartsNewGame(true);
    game->initialize();
    emscripten_set_main_loop(&frame, 0, 0);
}

// Where the avatar stands, as "x y" in tiles ("" without one): what the
// page's tests check after walking and loading.
extern "C" EMSCRIPTEN_KEEPALIVE const char* zolt_web_avatar()
{
    static std::string where;
    where.clear();
    core::Session* session = game ? game->getSession() : nullptr;
    core::Entity* avatar = session ? session->getAvatar() : nullptr;
    if (avatar)
    {
        const glm::vec2 position = avatar->getPosition();
        where = std::to_string(position.x) + " " + std::to_string(position.y);
    }
    return where.c_str();
}

int main()
{
    // The saves folder is the player's data folder of every platform.
    ::setenv("XDG_DATA_HOME", "/saves", 1);
    ::setenv("XDG_STATE_HOME", "/state", 1);
    EM_ASM({
        FS.mkdir("/saves");
        FS.mount(IDBFS, {}, "/saves");
        FS.syncfs(
            true, function(error) {
                if (error)
                    console.error("zolt: the saves stored in the browser could not be read: " + error);
                Module.ccall("zolt_web_start", null, [], []);
            });
    });
    // The game starts from the callback above; the page lives on.
    return 0;
}
