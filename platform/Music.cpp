#include "platform/Music.h"
