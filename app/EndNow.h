#pragma once

namespace tessarin {

// Ends the program at once: standard error is flushed, and nothing else runs,
// no window clean-up included. The one way Tessarin ends early.
[[noreturn]] void EndNow(int status) noexcept;

} // namespace tessarin
