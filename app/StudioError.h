#pragma once

#include <stdexcept>

// What keeps the studio from starting: no sources where it was pointed, or none given when the
// program was not run from its build tree. The message says what to do instead.
class StudioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
