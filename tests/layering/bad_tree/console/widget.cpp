#include "console/widget.h"
#include "platform/terminal/pad.h"
#include "database/records/records.h"
// #include "shell/main_menu.h" is a comment, not an include
