#include "audio/WaveFormatCheck.h"

namespace melovantis {

namespace {

constexpr std::uint16_t kPcmTag = 1;
constexpr std::uint32_t kRequiredSampleRate = 44100;
constexpr std::uint16_t kRequiredBitsPerSample = 16;

}  // namespace

bool isAnalysableFormat(const WaveFormat& format) {
  return format.formatTag == kPcmTag && format.channels == 1 &&
         format.samplesPerSecond == kRequiredSampleRate &&
         format.bitsPerSample == kRequiredBitsPerSample;
}

bool checkWaveFormat(WaveReader& reader, const std::filesystem::path& path, Notifier& notifier) {
  if (reader.openWave(path) != kWaveOk) {
    notifier.message("Not a valid wave file!", "Error", MessageIcon::Error);
    return false;
  }
  const WaveFormat& format = *reader.format();
  if (isAnalysableFormat(format)) {
    return true;
  }
  notifier.message(unsuitableFormatText(format), "Not suitable format.", MessageIcon::Information);
  reader.closeWave();
  return false;
}

std::vector<std::int16_t> readAnalysableSamples(const std::filesystem::path& path,
                                                Notifier& notifier) {
  WaveReader reader;
  if (!checkWaveFormat(reader, path, notifier) || reader.startDataRead(notifier) != kWaveOk) {
    return {};
  }
  std::vector<std::int16_t> samples(static_cast<std::size_t>(reader.dataInFile() / 2));
  samples.resize(reader.readData(samples.data(), samples.size() * 2).bytes / 2);
  return samples;
}

std::string unsuitableFormatText(const WaveFormat& format) {
  // Any channel count but one is called "Stereo", as the message has always said.
  return "This wave file was recorded with the following settings:\nType: " +
         std::string(format.formatTag == kPcmTag ? "Uncompressed PCM" : "non-PCM") + ", " +
         std::string(format.channels == 1 ? "Monophonic" : "Stereo") +
         ", Sample rate:" + std::to_string(format.samplesPerSecond) + " Hz, " +
         std::to_string(format.bitsPerSample) +
         "-bits/sample\n\nMelovantis requires the following settings:\n"
         "Type: Uncompressed PCM, Monophonic (not Stereo), Sample rate:44100 Hz, "
         "16-bits/sample.\n\nPlease record your sound again with these settings active, or "
         "convert your existing file using a wave editor.";
}

}  // namespace melovantis
