#pragma once

#include "show/ShowFile.h"

// The page's show file, read by tindrel_load() before anything else is asked of the show.
const ShowFile& pageShow();
