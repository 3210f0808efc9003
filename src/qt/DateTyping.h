#pragma once
// A date typed as a clerk writes it, 2023-11-09, into a date box: the box moves on to the next
// part by itself once a part is full, and then took the '-' typed after the part as "move on" once
// more, so that 2023-11-09 became 2023-01-11 without a word. A separator typed right after the box
// moved on by itself is taken as the one between those two parts; typed digits alone work as
// before. A digit the part cannot take (a 30th of February) is told in a tip, not dropped.
class QDateEdit;

namespace storeadjust::qt {

void TakeSeparatorsAsTyped(QDateEdit& edit);

}  // namespace storeadjust::qt
