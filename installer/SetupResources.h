// setup's compiled resources (installer/res/Setup.rc).
#pragma once

#include "framework/res/Resources.h"

const res::Module& SetupResources();
