#pragma once

#include "ui/MainWindowView.h"

namespace melovantis {

struct FrameRecord;

// What the current-note sliders hold for `frame`, in words: "C#5" and
// 25 (cents) for a pitch of 61.25, the volume and brightness as numbers; a
// frame without pitch shows "no pitch" and no cents.
CurrentNoteText currentNoteText(const FrameRecord& frame);

}  // namespace melovantis
