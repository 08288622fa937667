#include "raster/LoadError.h"

LoadError::LoadError(const std::string& name, const std::string& message)
    : std::runtime_error(name + ": " + message), name_(name), message_(message) {}
