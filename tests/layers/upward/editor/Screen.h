#pragma once
// A screen using an engine: allowed.
#include "lines/Upward.h"
