#include "input/InputManager.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "Log/Log.h"
#include "input/KeyBindings.h"

namespace application
{
int InputManager::_keyStates[NUM_KEYS] = {};

// Contexts may push or remove contexts, themselves included, while being
// offered an event, so every walk runs over a copy of the stack, top first.
std::vector<InputContext*> InputManager::topFirstContexts() const
{
    std::vector<InputContext*> contexts(_overlays.rbegin(), _overlays.rend());
    contexts.insert(contexts.end(), _contextStack.rbegin(), _contextStack.rend());
    return contexts;
}

// The window's events reach the manager through the window bridge, whose
// handlers point here from the start (application/GLFWInput.cpp), so input
// needs no windowing library.
InputManager::InputManager() = default;

InputManager* InputManager::getInstance()
{
    static InputManager instance;
    return &instance;
}

void InputManager::init()
{
    getInstance();
}

void InputManager::pushContext(InputContext* context)
{
    getInstance()->_contextStack.push_back(context);
    Log::named("input") << "Pushed new input context" << std::endl;
}

void InputManager::pushOverlay(InputContext* context)
{
    getInstance()->_overlays.push_back(context);
}

void InputManager::removeContext(InputContext* context)
{
    getInstance()->_contextStack.remove(context);
    getInstance()->_overlays.remove(context);
}

bool InputManager::isOnStack(const InputContext* context)
{
    const std::list<InputContext*>& stack = getInstance()->_contextStack;
    const std::list<InputContext*>& overlays = getInstance()->_overlays;
    return std::find(stack.begin(), stack.end(), context) != stack.end() ||
           std::find(overlays.begin(), overlays.end(), context) != overlays.end();
}

void InputManager::setKeyBindings(const KeyBindings* bindings)
{
    getInstance()->_bindings = bindings;
}

void InputManager::captureNextKey(std::function<void(int)> capture)
{
    getInstance()->_capture = std::move(capture);
}

void InputManager::processKey(int key, int action)
{
    InputManager* self = getInstance();
    if (self->_capture && action == 1 && key >= 0 && key < NUM_KEYS)
    {
        // Taken out first: the callback may ask for another key.
        std::function<void(int)> capture = std::move(self->_capture);
        self->_capture = nullptr;
        capture(key);
        return;
    }
    if (self->_bindings)
        key = self->_bindings->translate(key);
    recordKey(key, action);
}

void InputManager::recordKey(int key, int action)
{
    if (key < 0 || key >= NUM_KEYS)
        return;
    int& state = _keyStates[key];
    if (action == 1 && (state == KEYUP || state == KEYLETGO))
        state = KEYHIT;
    else if (action == 0 && (state == KEYHIT || state == KEYHELD))
        state = KEYLETGO;
}

void InputManager::processMouseButton(int button, int action, double x, double y)
{
    for (InputContext* context : getInstance()->topFirstContexts())
    {
        // A context removed during this walk may already be gone.
        if (isOnStack(context) && context->dispatch(button, action, x, y))
            return;
    }
}

void InputManager::processMousePosition(double x, double y)
{
    for (InputContext* context : getInstance()->topFirstContexts())
    {
        if (isOnStack(context) && context->dispatch(x, y))
            return;
    }
}

void InputManager::offerKey(int key)
{
    for (InputContext* context : getInstance()->topFirstContexts())
    {
        if (isOnStack(context) && context->dispatch(key, _keyStates[key]))
            return;
    }
}

void InputManager::advanceKeyState(int key)
{
    if (_keyStates[key] == KEYHIT)
        _keyStates[key] = KEYHELD;
    else if (_keyStates[key] == KEYLETGO)
        _keyStates[key] = KEYUP;
}

void InputManager::update()
{
    for (int key = 0; key < NUM_KEYS; ++key)
    {
        // With no context, keys keep their states until one is pushed.
        if (getInstance()->_contextStack.empty() && getInstance()->_overlays.empty())
            return;
        offerKey(key);
        advanceKeyState(key);
    }
}

int InputManager::getKeyState(int key)
{
    if (key < 0 || key >= NUM_KEYS)
        return KEYUP;
    return _keyStates[key];
}

void InputManager::reset()
{
    getInstance()->_contextStack.clear();
    getInstance()->_overlays.clear();
    getInstance()->_bindings = nullptr;
    getInstance()->_capture = nullptr;
    std::fill(_keyStates, _keyStates + NUM_KEYS, static_cast<int>(KEYUP));
}
}
