#pragma once
// The editor's toolbar Toolbar1, button by button in its order (separators and placeholders
// included, so positions match the classic indices 1..23). A button's key equals its caption and
// is also the name of its ToolbarButton control on the form; separators and placeholders have
// no key and no control. `shown` is the state the toolbar is designed with: the form's load
// shows 确认 and 反确认 in two-step mode and 审批 for the EP category.
#include <array>

namespace storeadjust {

enum class ToolbarItemKind { Button, Separator, Placeholder };

struct EditorToolbarItem {
  int index;
  ToolbarItemKind kind;
  const char* key;  // also the caption; empty for separators and placeholders
  const char* toolTip;
  bool shown;
};

inline constexpr std::array<EditorToolbarItem, 23> kEditorToolbar{{
    {1, ToolbarItemKind::Button, "新增", "新增", true},
    {2, ToolbarItemKind::Button, "修改", "修改", true},
    {3, ToolbarItemKind::Button, "删除", "删除", true},
    {4, ToolbarItemKind::Separator, "", "", true},
    {5, ToolbarItemKind::Button, "打印", "打印", true},
    {6, ToolbarItemKind::Button, "重打", "重打", true},
    {7, ToolbarItemKind::Placeholder, "", "", true},
    {8, ToolbarItemKind::Button, "选择", "选择", false},
    {9, ToolbarItemKind::Placeholder, "", "", true},
    {10, ToolbarItemKind::Button, "反审", "反审核", true},
    {11, ToolbarItemKind::Button, "反确认", "反确认", false},
    {12, ToolbarItemKind::Button, "审核", "审核", true},
    {13, ToolbarItemKind::Button, "确认", "确认", false},
    {14, ToolbarItemKind::Button, "反过", "反过帐", false},
    {15, ToolbarItemKind::Button, "过帐", "过帐", false},
    {16, ToolbarItemKind::Button, "记帐", "记帐", true},
    {17, ToolbarItemKind::Button, "审批", "审批", false},
    {18, ToolbarItemKind::Placeholder, "", "", true},
    {19, ToolbarItemKind::Button, "合计", "合计", false},
    {20, ToolbarItemKind::Button, "批号", "批号", false},
    {21, ToolbarItemKind::Button, "价格", "查看历史价格", false},
    {22, ToolbarItemKind::Placeholder, "", "", false},
    {23, ToolbarItemKind::Button, "退出", "退出", true},
}};

// The button that F6 runs: 反审 (un-audit), whatever the status bar's guide says.
inline constexpr int kF6ToolbarIndex = 10;

}  // namespace storeadjust
