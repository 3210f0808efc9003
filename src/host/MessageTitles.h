#pragma once
// The title of the module's ordinary message boxes.
namespace storeadjust {

inline constexpr const char* kSystemTitle = "系统提示";

}  // namespace storeadjust
