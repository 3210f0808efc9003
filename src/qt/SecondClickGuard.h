#pragma once
// A clerk who double-clicks a command that opens a window (报表, 新增, 保存 before a question)
// opens it with the first click, and his second click lands on whatever of the new window lies
// under the pointer: the report opened on its fifth line in the column clicked, a question's
// button could be pressed unread. A press in another window than the click before it, within
// the double-click time and at the same spot, is that second click: it is dropped with its
// release. Installed once on the application.

namespace storeadjust::qt {

void DropTheSecondClickOfADoubleClickThatOpenedAWindow();

}  // namespace storeadjust::qt
