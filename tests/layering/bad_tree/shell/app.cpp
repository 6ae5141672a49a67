#include "shell/app.h"
#include "browsers/browser_frame.h"
#include "screens/screens.h"
#include "abilitylib/kestrune.h"
#include <gtest/gtest.h>
