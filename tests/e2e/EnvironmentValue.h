#pragma once

#include <cstdlib>
#include <string>

// Sets an environment variable (or, given nullptr, unsets it) for the life
// of the object, so that a game started meanwhile inherits it; puts the old
// value back afterwards.
class EnvironmentValue
{
public:
    EnvironmentValue(const char* name, const char* value) : _name(name)
    {
        const char* old = std::getenv(name);
        _had = old != nullptr;
        _old = old ? old : "";
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    EnvironmentValue(const char* name, const std::string& value) : EnvironmentValue(name, value.c_str()) {}
    ~EnvironmentValue()
    {
        if (_had)
            ::setenv(_name, _old.c_str(), 1);
        else
            ::unsetenv(_name);
    }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;

private:
    const char* _name;
    bool _had = false;
    std::string _old;
};
