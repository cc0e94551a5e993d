#pragma once

namespace melovantis {

// Position of a note's mark on the note range keyboard, in drawing units: the
// note's offset within its octave (the white keys 20 apart, each black key
// halfway between its neighbours, so E to F is 20) plus 140 per octave.
int noteMarkX(int note);

}  // namespace melovantis
