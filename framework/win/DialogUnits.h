// Dialog units: what dialog templates measure in. A dialog unit is a quarter
// of the dialog font's average character across and an eighth of it down;
// the dialog manager places a template's window by them and the fitting of
// its controls to cells (ControlFitting.h) starts from them.
#pragma once

#include "framework/base/Geometry.h"

// Base units of every dialog font, in pixels: one average character is
// 12 x 16 pixels.
inline constexpr int kDialogBaseUnitX = 12;
inline constexpr int kDialogBaseUnitY = 16;

// A rectangle in dialog units, in pixels.
CRect MapDialogRect(const CRect& dlu);
