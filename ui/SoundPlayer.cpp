#include "ui/SoundPlayer.h"

#include <algorithm>

#include "audio/AudioOutput.h"
#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "midi/MidiFileTiming.h"
#include "midi/MidiRenderer.h"
#include "engine/Notifier.h"

namespace melovantis {

namespace {

constexpr double kSampleRate = 44100.0;

bool hasExtension(const std::filesystem::path& file, const char* extension) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == extension;
}

// A WAVE file the analysis could read, positioned at its samples; closed otherwise.
bool openWave(WaveReader& reader, const std::filesystem::path& file) {
  SilentNotifier quiet;
  if (reader.openWave(file) != kWaveOk || reader.format() == nullptr ||
      !isAnalysableFormat(*reader.format()) || reader.startDataRead(quiet) != kWaveOk) {
    reader.closeWave();
    return false;
  }
  return true;
}

std::vector<std::int16_t> readWave(const std::filesystem::path& file) {
  WaveReader reader;
  if (!openWave(reader, file)) {
    return {};
  }
  std::vector<std::int16_t> samples(reader.dataInFile() / 2);
  samples.resize(reader.readData(samples.data(), samples.size() * 2).bytes / 2);
  return samples;
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
            : hasExtension(file, ".mid")  ? Source::Midi
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
    wave_ = readWave(file_);
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

void SoundPlayer::play() {
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
  // A piece that played to its end is stopped, though the output still runs.
  return state_ == PlayState::Playing && ended_ ? PlayState::Stopped : state_;
}

double SoundPlayer::positionSeconds() const { return frame_ / kSampleRate; }

void SoundPlayer::seek(double seconds) {
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
