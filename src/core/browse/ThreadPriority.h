#pragma once
// Background work such as decoding tiles yields to the thread that draws the window.

namespace vantrel {

// Gives the calling thread the lowest scheduling priority (nice 19); other threads keep theirs.
void LowerThreadPriority();

}  // namespace vantrel
