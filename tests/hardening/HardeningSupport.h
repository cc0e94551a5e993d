#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/Notifier.h"
#include "support/TestFiles.h"

namespace melovantis::test {

// One channel message of a written MIDI file, channel split off.
struct ChannelMessage {
  int type = 0;  // 0x80, 0x90, 0xB0, 0xC0, 0xE0
  int channel = 0;
  int data1 = 0;
  int data2 = 0;
};

// The channel messages of a file that passed checkStandardMidiFile, in order.
std::vector<ChannelMessage> channelMessages(const std::vector<std::uint8_t>& file);

// The three tempo bytes of the file's FF 51 event; empty when it has none.
std::vector<std::uint8_t> tempoBytes(const std::vector<std::uint8_t>& file);


// Half a second of A4, a tenth of silence, half a second of E5 a little sharp.
void writeMelodyWave(const std::filesystem::path& path);

// Applies the settings and converts the WAVE file as the Start! command does.
void convertWithSettings(AnalysisEngine& engine, SettingsRecord& settings,
                         const std::filesystem::path& wave, Notifier& notifier);

// The factory record with one field (1-based, file order) changed.
SettingsRecord factoryWith(std::initializer_list<std::pair<int, std::int32_t>> changes);

}  // namespace melovantis::test
