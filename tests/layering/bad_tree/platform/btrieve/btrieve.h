#pragma once
#include "platform/low.h"
