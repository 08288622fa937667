#pragma once

#include <stdexcept>
#include <string>

// The one error a loader raises: what() is "name: message", the line the program prints before
// it exits with status 255. The name is the file's name as the caller passed it.
class LoadError : public std::runtime_error {
public:
    LoadError(const std::string& name, const std::string& message);
    const std::string& fileName() const { return name_; }
    const std::string& message() const { return message_; }

private:
    std::string name_;
    std::string message_;
};
