#pragma once

namespace tessarin {

// Shows the window to assistive technology (a screen reader over AT-SPI or UI
// Automation) as what it is: a window, busy while a lookup takes a while, that
// holds the input box, four push buttons and the read-only answer box, in
// reading order. The pictures are only the buttons' faces and are left out.
// Qt asks for an object's interface once, often while the object is being
// built, so this comes before the window's first control.
void InstallAccessibility();

} // namespace tessarin
