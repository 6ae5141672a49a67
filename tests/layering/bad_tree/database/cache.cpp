#include "console/widget.h"
#include "tests/temp_dir.h"
