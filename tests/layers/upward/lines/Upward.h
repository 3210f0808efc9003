#pragma once
// An engine reaching for a screen: the include check must refuse this one.
#include "editor/Screen.h"
