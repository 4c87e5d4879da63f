#include "support/StdStreams.h"

#include <iostream>

namespace testsupport
{
StdoutCapture::StdoutCapture() : _old(std::cout.rdbuf(_stream.rdbuf()))
{
}

StdoutCapture::~StdoutCapture()
{
    std::cout.rdbuf(_old);
}

StdinFeed::StdinFeed(const std::string& text) : _stream(text), _old(std::cin.rdbuf(_stream.rdbuf()))
{
    std::cin.clear();
}

StdinFeed::~StdinFeed()
{
    std::cin.rdbuf(_old);
    std::cin.clear();
}

std::string StdinFeed::remaining()
{
    std::string rest;
    std::getline(_stream, rest, '\0');
    return rest;
}
}
