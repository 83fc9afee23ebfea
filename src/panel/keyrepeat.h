#pragma once

namespace qpv {

// Asks the X server to repeat a held key as presses alone, with no release between them (XKB's
// detectable auto-repeat), as other window systems do: a press of a key already down is then
// a repeat, whenever the events are read. Left alone, the X server repeats a key as
// release/press pairs, which Qt marks as repeats only when it reads both at once. Does nothing
// on other platforms, or where the build has no XKB.
void useDetectableKeyRepeat();

} // namespace qpv
