#pragma once

#include <string>
#include <string_view>
#include <vector>

// For a misspelt name: " (did you mean NAME?)" naming the closest of names when it is a slip of
// a few letters, else nothing. The closest is by edits (a letter added, dropped or changed, two
// swapped), case ignored; ties go to the first in names.
std::string didYouMean(std::string_view word, const std::vector<std::string_view>& names);
