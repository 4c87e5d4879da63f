#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace core
{
class DialogManager;

// What a conversation shows the player: a band headed by the speaker's
// name, the speaker's face, the node's text and then its options. The menus
// implement it; a conversation without them (tests of the rules alone)
// runs the same, unseen.
class DialogView
{
public:
    virtual ~DialogView() = default;

    // Shows the band headed by `title`.
    virtual void open(const std::string& title) = 0;
    // A part of a texture in its pixels (x, y, width, height; a zero size
    // is the whole picture) at the band's left.
    virtual void showFace(const std::string& texture, const glm::ivec4& pixels) = 0;
    virtual void hideFace() = 0;
    // The node's text, paged, then exactly these options (none included).
    virtual void say(const std::string& text, const std::vector<std::string>& options) = 0;
    virtual void close() = 0;
    // Forgets the last text, so a closed band holds nothing stale.
    virtual void clearText() = 0;

    // Makes the view of every conversation; set once at start-up by
    // whoever draws the menus.
    using Maker = std::function<std::unique_ptr<DialogView>(DialogManager*)>;
    static void setMaker(Maker maker);
    static std::unique_ptr<DialogView> make(DialogManager* dialogs);
};
}
