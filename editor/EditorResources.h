// Tessel's compiled resources (editor/res/Tessel.rc).
#pragma once

#include "framework/res/Resources.h"

const res::Module& TesselResources();
