#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Log/Log.h"

// Objects owned by name, visited in byte-wise name order: the one home of
// the find / register / replace / destroy logic of the engine's named maps.
// A name registered again replaces its entry, and the replaced object stays
// allocated as long as the registry, because callers may still hold it.
// Messages are passed in whole ("(Class::Operation) what happened"); the
// registry appends " (name)" and writes them to the file log.
template <class T>
class NamedRegistry
{
public:
    typedef std::map<std::string, std::unique_ptr<T>> Items;

    T* get(const std::string& name) const
    {
        auto found = _items.find(name);
        return found == _items.end() ? nullptr : found->second.get();
    }

    // As get, logging missingMessage at the given level when nothing has the name.
    T* find(const std::string& name, const char* missingMessage, TLogLevel level) const
    {
        T* object = get(name);
        if (!object)
            Log::file(level) << missingMessage << " (" << name << ")";
        return object;
    }

    bool contains(const std::string& name) const { return _items.count(name) != 0; }

    // Registers `object` unless the name is taken; then logs takenMessage,
    // frees the object and answers null.
    T* add(const std::string& name, std::unique_ptr<T> object, const char* takenMessage)
    {
        if (contains(name))
        {
            Log::file(logERROR) << takenMessage << " (" << name << ")";
            return nullptr;
        }
        return put(name, std::move(object), nullptr);
    }

    // Registers `object` under the name; when the name is taken, logs
    // replacedMessage (when not null) and keeps the old object alive.
    T* put(const std::string& name, std::unique_ptr<T> object, const char* replacedMessage)
    {
        T* raw = object.get();
        auto found = _items.find(name);
        if (found != _items.end())
        {
            if (replacedMessage)
                Log::file(logERROR) << replacedMessage << " (" << name << ")";
            // The same object again: it is owned once already.
            if (found->second.get() == raw)
                return object.release();
            _replaced.push_back(std::move(found->second));
            found->second = std::move(object);
        }
        else
        {
            _items.emplace(name, std::move(object));
        }
        return raw;
    }

    // Hands the object under the name back to the caller; null, logging
    // missingMessage (when not null), when no object has the name. There is
    // no destroy: names are often the object's own member, so the caller
    // lets the object die after its last use of the name.
    std::unique_ptr<T> take(const std::string& name, const char* missingMessage)
    {
        auto found = _items.find(name);
        if (found == _items.end())
        {
            if (missingMessage)
                Log::file(logERROR) << missingMessage << " (" << name << ")";
            return nullptr;
        }
        std::unique_ptr<T> object = std::move(found->second);
        _items.erase(found);
        return object;
    }

    // Frees every object, replaced ones too, before what they depend on goes.
    void clear()
    {
        _items.clear();
        _replaced.clear();
    }

    const Items& items() const { return _items; }
    size_t size() const { return _items.size(); }

private:
    Items _items;
    std::vector<std::unique_ptr<T>> _replaced;
};
