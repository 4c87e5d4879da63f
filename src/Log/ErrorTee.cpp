#include "Log/ErrorTee.h"

#include "Log/Log.h"

ErrorTee::ErrorTee() : _previous(Log::errorStream()), _tee(this)
{
    Log::setErrorStream(&_tee);
}

ErrorTee::~ErrorTee()
{
    _tee.flush();
    Log::setErrorStream(_previous);
}

int ErrorTee::overflow(int c)
{
    if (c == traits_type::eof())
        return traits_type::not_eof(c);
    const char ch = static_cast<char>(c);
    xsputn(&ch, 1);
    return c;
}

std::streamsize ErrorTee::xsputn(const char* s, std::streamsize n)
{
    _text.append(s, static_cast<size_t>(n));
    if (_previous)
        _previous->write(s, n);
    return n;
}

std::string ErrorTee::firstLine() const
{
    const std::string prefix = Log::prefix("Error");
    std::string line = _text.substr(0, _text.find('\n'));
    if (line.compare(0, prefix.size(), prefix) == 0)
        line.erase(0, prefix.size());
    return line;
}
