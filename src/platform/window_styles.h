#pragma once
// Window style bits, with the desktop's own values.
#include <cstdint>

namespace orvanel::platform {

inline constexpr std::uint32_t kStylePopup = 0x80000000;
inline constexpr std::uint32_t kStyleChild = 0x40000000;
inline constexpr std::uint32_t kStyleVisible = 0x10000000;
inline constexpr std::uint32_t kStyleClipChildren = 0x02000000;
inline constexpr std::uint32_t kStyleBorder = 0x00800000;
inline constexpr std::uint32_t kStyleDialogFrame = 0x00400000;
inline constexpr std::uint32_t kStyleCaption = kStyleBorder | kStyleDialogFrame;
inline constexpr std::uint32_t kStyleSysMenu = 0x00080000;

inline constexpr std::uint32_t kExStyleDialogModalFrame = 0x00000001;
inline constexpr std::uint32_t kExStyleTopmost = 0x00000008;
inline constexpr std::uint32_t kExStyleToolWindow = 0x00000080;
inline constexpr std::uint32_t kExStyleLayered = 0x00080000;

// Insert-after values and flags of SetWindowPos.
inline constexpr std::int32_t kInsertTop = 0;
inline constexpr std::int32_t kInsertTopmost = -1;
inline constexpr std::uint32_t kPosNoSize = 0x0001;
inline constexpr std::uint32_t kPosNoMove = 0x0002;
inline constexpr std::uint32_t kPosNoZOrder = 0x0004;
inline constexpr std::uint32_t kPosNoActivate = 0x0010;
inline constexpr std::uint32_t kPosShowWindow = 0x0040;
inline constexpr std::uint32_t kPosHideWindow = 0x0080;

}  // namespace orvanel::platform
