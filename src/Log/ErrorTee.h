#pragma once

#include <ostream>
#include <streambuf>
#include <string>

// While it lives, error lines still go where they went, and are also kept,
// so the caller can show the first of them to the player.
class ErrorTee : private std::streambuf
{
public:
    ErrorTee();
    ~ErrorTee() override;
    ErrorTee(const ErrorTee&) = delete;
    ErrorTee& operator=(const ErrorTee&) = delete;

    // The first error line written while capturing, without the level
    // prefix; empty when there was none.
    std::string firstLine() const;
    const std::string& text() const { return _text; }

private:
    int overflow(int c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

    std::ostream* _previous;
    std::ostream _tee;
    std::string _text;
};
