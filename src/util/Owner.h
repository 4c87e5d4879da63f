#pragma once

// Marks a raw pointer that owns what it points at, where no smart pointer
// fits: the few process-wide objects that are made once and deliberately
// never freed, because code may still reach them while the process exits.
// clang-tidy's owning-memory check knows this name; everywhere else
// ownership is a std::unique_ptr or a value.
namespace gsl
{
template <typename T>
using owner = T;
}
