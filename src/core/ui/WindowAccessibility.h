#pragma once

// Screen readers name a window by its role: a window built on a plain
// QWidget would otherwise be announced as a mere "filler" instead of a
// window. install() makes every such top-level window a window (frame) on
// the accessibility bus; dialogs and main windows keep their own roles.
namespace WindowAccessibility {

// Safe to call more than once; takes effect for windows not yet announced.
void install();

}  // namespace WindowAccessibility
