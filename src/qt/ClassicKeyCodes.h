#pragma once
// Translates a Qt key press into the classic key code and shift mask the screen models'
// KeyDown handlers receive (Enter 13, Esc 27, F1 112, letters as their upper-case ASCII code,
// shift 1 / ctrl 2 / alt 4). Keys the classic forms never saw translate to 0.
#include <Qt>

class QKeyEvent;

namespace storeadjust::qt {

int ClassicKeyCode(int qtKey);
int ClassicShiftMask(Qt::KeyboardModifiers modifiers);

// Keys the screen acts on as commands (Enter, Esc, F1..F12): the widget must not also act on
// them (a dialog's default button, a dialog closing on Esc). All other keys reach the widget
// after the model has seen them, so typing still edits the text.
bool IsCommandKey(int classicCode);

}  // namespace storeadjust::qt
