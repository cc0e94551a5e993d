#include "HardeningSupport.h"


#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/EngineSettings.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis::test {

namespace {

std::uint32_t readVariable(const std::vector<std::uint8_t>& b, std::size_t& pos) {
  std::uint32_t value = 0;
  while (pos < b.size()) {
    const std::uint8_t byte = b[pos++];
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) {
      break;
    }
  }
  return value;
}

// Calls `meta` for every meta event and `channel` for every channel message.
template <typename Meta, typename Channel>
void walkTrack(const std::vector<std::uint8_t>& b, Meta meta, Channel channel) {
  std::size_t pos = 22;
  while (pos < b.size()) {
    readVariable(b, pos);
    const std::uint8_t status = b[pos++];
    if (status == 0xFF) {
      const std::uint8_t type = b[pos++];
      const std::uint32_t length = readVariable(b, pos);
      meta(type, std::vector<std::uint8_t>(b.begin() + static_cast<std::ptrdiff_t>(pos),
                                           b.begin() + static_cast<std::ptrdiff_t>(pos + length)));
      pos += length;
    } else {
      ChannelMessage m;
      m.type = status & 0xF0;
      m.channel = status & 0x0F;
      m.data1 = b[pos++];
      if (m.type != 0xC0 && m.type != 0xD0) {
        m.data2 = b[pos++];
      }
      channel(m);
    }
  }
}

}  // namespace

std::vector<ChannelMessage> channelMessages(const std::vector<std::uint8_t>& file) {
  std::vector<ChannelMessage> messages;
  walkTrack(
      file, [](std::uint8_t, const std::vector<std::uint8_t>&) {},
      [&](const ChannelMessage& m) { messages.push_back(m); });
  return messages;
}

std::vector<std::uint8_t> tempoBytes(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint8_t> tempo;
  walkTrack(
      file,
      [&](std::uint8_t type, const std::vector<std::uint8_t>& contents) {
        if (type == 0x51) {
          tempo = contents;
        }
      },
      [](const ChannelMessage&) {});
  return tempo;
}

void writeMelodyWave(const std::filesystem::path& path) {
  writeMonoWave(path, concat({harmonicTone(69.0, 22050), constant(4410),
                              harmonicTone(76.3, 22050, 16000.0)}));
}

void convertWithSettings(AnalysisEngine& engine, SettingsRecord& settings,
                         const std::filesystem::path& wave, Notifier& notifier) {
  applySettingsToEngine(settings, engine);
  WaveReader reader;
  ConversionObserver observer;
  ConversionDriver driver(engine, reader, notifier, observer);
  ConversionSession session = ConversionSession::unattended(wave, &settings);
  driver.startConversion(session);
}

SettingsRecord factoryWith(std::initializer_list<std::pair<int, std::int32_t>> changes) {
  SettingsRecord settings;
  for (const auto& [field, value] : changes) {
    settings.field(field - 1) = value;
  }
  return settings;
}

}  // namespace melovantis::test
