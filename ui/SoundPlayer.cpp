#include "ui/SoundPlayer.h"

#include <algorithm>

#include "audio/AudioOutput.h"
#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "documents/ProgramFolder.h"
#include "midi/MidiFileTiming.h"
#include "midi/MidiRenderer.h"
#include "engine/Notifier.h"

namespace melovantis {

namespace {

constexpr double kSampleRate = 44100.0;

// A WAVE file the analysis could read, positioned at its samples; closed otherwise.
bool openWave(WaveReader& reader, const std::filesystem::path& file) {
  SilentNotifier quiet;
  if (!checkWaveFormat(reader, file, quiet) || reader.startDataRead(quiet) != kWaveOk) {
    reader.closeWave();
    return false;
  }
  return true;
}

}  // namespace

SoundPlayer::SoundPlayer(AudioOutput& output, MidiRenderer& renderer)
    : output_(output), renderer_(renderer), problem_(output.problem()) {}

SoundPlayer::~SoundPlayer() { output_.stop(); }

void SoundPlayer::setFile(const std::filesystem::path& file) {
  halt();
  state_ = PlayState::Stopped;
  frame_ = 0;
  file_ = file;
  prepared_ = false;
  wave_.clear();
  source_ = file.empty()                  ? Source::None
            : sameNameIgnoringCase(file.extension().string(), ".mid")  ? Source::Midi
                                          : Source::Wave;
  lengthSeconds_ = 0.0;
  if (source_ == Source::Midi) {
    lengthSeconds_ = MidiFileTiming::read(file).lengthSeconds();
  } else if (source_ == Source::Wave) {
    WaveReader reader;
    if (openWave(reader, file)) {
      lengthSeconds_ = reader.dataInFile() / 2 / kSampleRate;
    }
  }
  problem_ = output_.problem();
}

bool SoundPlayer::prepare() {
  if (prepared_) {
    return true;
  }
  if (source_ == Source::Wave) {
    SilentNotifier quiet;  // the player says only that it cannot play the file
    wave_ = readAnalysableSamples(file_, quiet);
    if (wave_.empty()) {
      problem_ = "Cannot play " + file_.filename().string();
      return false;
    }
  } else if (source_ == Source::Midi) {
    if (!renderer_.load(file_)) {
      problem_ = renderer_.problem();
      return false;
    }
    renderer_.seek(frame_ / kSampleRate);
  } else {
    return false;
  }
  prepared_ = true;
  return true;
}

void SoundPlayer::noticeEnd() {
  // The output's thread only marks the end; stopping the output is this thread's work.
  if (state_ == PlayState::Playing && ended_) {
    halt();
    state_ = PlayState::Stopped;
  }
}

void SoundPlayer::play() {
  noticeEnd();
  if (state_ == PlayState::Playing || source_ == Source::None || !prepare()) {
    return;
  }
  if (ended_) {
    frame_ = 0;
    ended_ = false;
    if (source_ == Source::Midi) {
      renderer_.seek(0.0);
    }
  }
  if (!output_.start([this](std::int16_t* out, int frames) { render(out, frames); })) {
    problem_ = output_.problem();
    return;
  }
  problem_.clear();
  state_ = PlayState::Playing;
}

void SoundPlayer::halt() { output_.stop(); }

void SoundPlayer::pause() {
  noticeEnd();
  if (state_ == PlayState::Playing) {
    halt();
    state_ = PlayState::Paused;
  }
}

void SoundPlayer::stop() {
  halt();
  state_ = PlayState::Stopped;
  frame_ = 0;
  ended_ = false;
  if (prepared_ && source_ == Source::Midi) {
    renderer_.seek(0.0);
  }
}

PlayState SoundPlayer::state() const {
  // A piece that played to its end is stopped, also before noticeEnd stops its output.
  return state_ == PlayState::Playing && ended_ ? PlayState::Stopped : state_;
}

double SoundPlayer::positionSeconds() const { return frame_ / kSampleRate; }

void SoundPlayer::seek(double seconds) {
  noticeEnd();
  const bool playing = state_ == PlayState::Playing;
  halt();
  frame_ = static_cast<long long>(std::clamp(seconds, 0.0, lengthSeconds_) * kSampleRate);
  ended_ = false;
  if (prepared_ && source_ == Source::Midi) {
    renderer_.seek(frame_ / kSampleRate);
  }
  if (playing) {
    state_ = PlayState::Stopped;
    play();
  }
}

void SoundPlayer::render(std::int16_t* out, int frames) {
  long long at = frame_.load();
  if (source_ == Source::Midi) {
    if (!renderer_.render(out, frames)) {
      ended_ = true;
    }
  } else {
    for (int i = 0; i < frames; ++i) {
      const std::int16_t s =
          at + i < static_cast<long long>(wave_.size()) ? wave_[static_cast<std::size_t>(at + i)] : 0;
      out[2 * i] = s;
      out[2 * i + 1] = s;
    }
    if (at + frames >= static_cast<long long>(wave_.size())) {
      ended_ = true;
    }
  }
  // The position stops at the end, where the length is known.
  const long long end = static_cast<long long>(lengthSeconds_ * kSampleRate);
  frame_ = end > 0 ? std::min<long long>(at + frames, end) : at + frames;
}

}  // namespace melovantis
