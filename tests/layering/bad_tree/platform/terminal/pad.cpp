// A sibling of the engine, reached by a relative path.
#include "../btrieve/btrieve.h"
#include "pad.h"
