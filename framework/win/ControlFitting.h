// How a dialog template's controls, placed in dialog units, land on the
// cells of a terminal: one rule for every dialog and form.
//
// A dialog unit is a quarter of the dialog font's average character across
// and an eighth of it down; the template's numbers are turned into pixels
// (MapDialogRect) and the pixels into cells by rounding each edge to the
// nearest cell edge. Rounding alone lets neighbours touch and a field of
// one and a half rows become two, so the rule then fits each control to
// what it shows:
//
// - a control that shows one line (a push button, a check box, a radio
//   button, a single-line field) is one row high, in the row its top edge
//   rounds to;
// - a push button is wide enough for its label between brackets, and a
//   check box for its box and label; a control grows to the right for it;
// - a push button stands at least one blank cell from the control beside
//   it in its row. The space comes first from the spare width of the control
//   to its left (a button wider than its label), then by moving the right
//   one along. Controls that overlap in the template are stacked on purpose
//   (forms that share a place and show one at a time) and are left alone.
//
// Controls outside a template (message boxes, file dialogs) are placed in
// whole cells by their code and keep to the same looks.
#pragma once

#include <span>
#include <vector>

#include "framework/base/Geometry.h"
#include "framework/res/ResourceTypes.h"

// The cells of each control, in the order of the items, relative to the
// dialog's client area.
std::vector<CRect> FitControlsToCells(std::span<const res::DialogItem> items);
