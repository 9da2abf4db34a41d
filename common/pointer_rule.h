// The window's mouse pointer: the hand over what acts on a click, the ordinary arrow over the
// background, and the hourglass, while it is up, left alone by both. The pointer belongs to the
// window and stays until the next move changes it.
#pragma once

namespace kestrel {

enum class PointerKind { Default = 0, Hourglass = 11, Custom = 99 };

constexpr PointerKind OverClickable(PointerKind now) { return now == PointerKind::Hourglass ? now : PointerKind::Custom; }
constexpr PointerKind OverBackground(PointerKind now) {
    return now == PointerKind::Hourglass ? now : PointerKind::Default;
}
constexpr PointerKind OverLink(PointerKind) { return PointerKind::Custom; }  // the About window's link

}  // namespace kestrel
