#include "qt/ClassicKeyCodes.h"

#include "host/KeyCodes.h"

namespace storeadjust::qt {

namespace {

struct KeyPair {
  int qtKey;
  int classic;
};

constexpr KeyPair kNamedKeys[] = {
    {Qt::Key_Backspace, key::kBack}, {Qt::Key_Tab, key::kTab},         {Qt::Key_Backtab, key::kTab},
    {Qt::Key_Return, key::kReturn},  {Qt::Key_Enter, key::kReturn},    {Qt::Key_Escape, key::kEscape},
    {Qt::Key_Space, key::kSpace},    {Qt::Key_PageUp, key::kPageUp},   {Qt::Key_PageDown, key::kPageDown},
    {Qt::Key_End, key::kEnd},        {Qt::Key_Home, key::kHome},       {Qt::Key_Left, key::kLeft},
    {Qt::Key_Up, key::kUp},          {Qt::Key_Right, key::kRight},     {Qt::Key_Down, key::kDown},
    {Qt::Key_Insert, key::kInsert},  {Qt::Key_Delete, key::kDelete},
};

}  // namespace

int ClassicKeyCode(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return key::kF1 + (qtKey - Qt::Key_F1);
  for (const KeyPair& pair : kNamedKeys) {
    if (pair.qtKey == qtKey) return pair.classic;
  }
  return 0;
}

int ClassicShiftMask(Qt::KeyboardModifiers modifiers) {
  int mask = 0;
  if (modifiers & Qt::ShiftModifier) mask |= 1;
  if (modifiers & Qt::ControlModifier) mask |= 2;
  if (modifiers & Qt::AltModifier) mask |= 4;
  return mask;
}

bool IsCommandKey(int classicCode) {
  return classicCode == key::kReturn || classicCode == key::kEscape ||
         (classicCode >= key::kF1 && classicCode <= key::kF12);
}

}  // namespace storeadjust::qt
