// A platform header that reaches up to the console.
#pragma once
#include <string>
#include "console/console.h"
