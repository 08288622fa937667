#pragma once

#include <filesystem>
#include <string>

// What a capture may remove from its folder before writing there: only names it makes itself.
// frame-NNNNNN.png and music.wav of an earlier capture (with overwrite), and the half-written
// "NAME.partial-PID-N" files a killed capture left of those, when process PID is gone. Anything
// else in the folder is the user's and stays. Throws std::runtime_error, before removing
// anything, when the folder holds earlier frames and overwrite is not given.
namespace CaptureFolder {

void clearEarlier(const std::filesystem::path& directory, bool overwrite);

// Whether name is one a capture writes: frame-NNNNNN.png (six digits or more) or music.wav.
bool isCaptureOutput(const std::string& name);
// Whether name is "OUTPUT.partial-PID-N" for such an output; pid is set to PID.
bool isPartialOf(const std::string& name, long& pid);

} // namespace CaptureFolder
