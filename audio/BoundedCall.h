#pragma once

#include <chrono>
#include <functional>

namespace melovantis {

// The sound libraries wait inside their calls for as long as a sound server
// does not answer: a JACK server that is stopped (frozen) keeps a client's
// open, start, stop and close waiting for ever. Such calls run here on a
// thread of their own, and the caller waits for them only `limit` long.
//
// False when `call` did not end in time. It then goes on alone, and all it
// uses must be left to it: the library object it works on is never used or
// freed again (a few kilobytes lost, against a program that hangs).
bool finishesWithin(std::chrono::milliseconds limit, std::function<void()> call);

// How long an answer from a sound server may take: opening a client and its
// ports, listing them, starting, stopping and closing each take milliseconds
// when the server runs, and a loaded machine stays far below this.
inline constexpr std::chrono::milliseconds kSoundServerAnswer{2500};

// Keeps an object a call left waiting still uses reachable and never freed:
// the call may come back to it at any time, and a leak checker at exit
// finds it held rather than lost.
void keepForWaitingCall(const void* object);

// True once a call was left waiting (the process should not wait for those
// threads when it ends).
bool callsLeftWaiting();

}  // namespace melovantis
