#include "platform/FixedMusic.h"
