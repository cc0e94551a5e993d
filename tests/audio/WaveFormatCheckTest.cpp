#include "audio/WaveFormatCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RecordingNotifier.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::RecordingNotifier;
using test::TempFolder;
using test::WaveFileBuilder;

std::string expectedUnsuitableText(const std::string& typeLine) {
  return "This wave file was recorded with the following settings:\n" + typeLine +
         "\n\nMelovantis requires the following settings:\nType: Uncompressed PCM, Monophonic "
         "(not Stereo), Sample rate:44100 Hz, 16-bits/sample.\n\nPlease record your sound again "
         "with these settings active, or convert your existing file using a wave editor.";
}

class WaveFormatCheckTest : public ::testing::Test {
 protected:
  std::filesystem::path write(const WaveFileBuilder& builder) {
    const std::filesystem::path path = folder / "input.wav";
    builder.write(path);
    return path;
  }

  void expectOneMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    ASSERT_EQ(notifier.entries.size(), 1u);
    EXPECT_EQ(notifier.entries[0].text, text);
    EXPECT_EQ(notifier.entries[0].caption, caption);
    EXPECT_EQ(notifier.entries[0].icon, icon);
    EXPECT_FALSE(notifier.entries[0].question);
  }

  TempFolder folder;
  RecordingNotifier notifier;
  WaveReader reader;
};

TEST_F(WaveFormatCheckTest, MonoSixteenBitPcmAt44100HzIsAcceptedAndStaysOpenForReading) {
  const auto path = write(WaveFileBuilder().fmt(1, 1, 44100, 16).data({10, -20, 30}));
  EXPECT_TRUE(checkWaveFormat(reader, path, notifier));
  EXPECT_TRUE(notifier.entries.empty());
  ASSERT_TRUE(reader.isOpen());
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  EXPECT_EQ(reader.dataSize(), 6u);
}

TEST_F(WaveFormatCheckTest, StereoPcmIsRefusedWithTheSettingsItWasRecordedWith) {
  const auto path = write(WaveFileBuilder().fmt(1, 2, 44100, 16).data({1, 2, 3, 4}));
  EXPECT_FALSE(checkWaveFormat(reader, path, notifier));
  expectOneMessage(
      expectedUnsuitableText("Type: Uncompressed PCM, Stereo, Sample rate:44100 Hz, 16-bits/sample"),
      "Not suitable format.", MessageIcon::Information);
  EXPECT_FALSE(reader.isOpen());
  EXPECT_EQ(reader.format(), nullptr);
}

TEST_F(WaveFormatCheckTest, NonPcmFileOpensButIsRefused) {
  const auto path = write(WaveFileBuilder().fmt(0xFFFE, 2, 48000, 24, 22).data({1, 2, 3}));
  WaveReader probe;
  ASSERT_EQ(probe.openWave(path), kWaveOk);

  EXPECT_FALSE(checkWaveFormat(reader, path, notifier));
  expectOneMessage(
      expectedUnsuitableText("Type: non-PCM, Stereo, Sample rate:48000 Hz, 24-bits/sample"),
      "Not suitable format.", MessageIcon::Information);
  EXPECT_FALSE(reader.isOpen());
}

TEST_F(WaveFormatCheckTest, EachSingleDifferenceFromTheRequiredFormatIsRefused) {
  struct Case {
    std::uint16_t tag, channels;
    std::uint32_t rate;
    std::uint16_t bits;
    const char* typeLine;
  };
  const std::vector<Case> cases = {
      {3, 1, 44100, 16, "Type: non-PCM, Monophonic, Sample rate:44100 Hz, 16-bits/sample"},
      {1, 2, 44100, 16, "Type: Uncompressed PCM, Stereo, Sample rate:44100 Hz, 16-bits/sample"},
      {1, 6, 44100, 16, "Type: Uncompressed PCM, Stereo, Sample rate:44100 Hz, 16-bits/sample"},
      {1, 1, 48000, 16, "Type: Uncompressed PCM, Monophonic, Sample rate:48000 Hz, 16-bits/sample"},
      {1, 1, 22050, 16, "Type: Uncompressed PCM, Monophonic, Sample rate:22050 Hz, 16-bits/sample"},
      {1, 1, 44100, 8, "Type: Uncompressed PCM, Monophonic, Sample rate:44100 Hz, 8-bits/sample"},
      {1, 1, 44100, 24, "Type: Uncompressed PCM, Monophonic, Sample rate:44100 Hz, 24-bits/sample"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typeLine);
    notifier.entries.clear();
    const auto path = write(WaveFileBuilder().fmt(c.tag, c.channels, c.rate, c.bits).data({1, 2}));
    EXPECT_FALSE(checkWaveFormat(reader, path, notifier));
    expectOneMessage(expectedUnsuitableText(c.typeLine), "Not suitable format.",
                     MessageIcon::Information);
    EXPECT_FALSE(reader.isOpen());
  }
}

TEST_F(WaveFormatCheckTest, MissingFileIsNotAValidWaveFile) {
  EXPECT_FALSE(checkWaveFormat(reader, folder / "missing.wav", notifier));
  expectOneMessage("Not a valid wave file!", "Error", MessageIcon::Error);
  EXPECT_FALSE(reader.isOpen());
}

TEST_F(WaveFormatCheckTest, FileThatIsNotRiffIsNotAValidWaveFile) {
  const auto path = folder / "song.mp3";
  test::writeBytes(path, {0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_FALSE(checkWaveFormat(reader, path, notifier));
  expectOneMessage("Not a valid wave file!", "Error", MessageIcon::Error);
  EXPECT_FALSE(reader.isOpen());
}

TEST_F(WaveFormatCheckTest, RefusedFileClosesTheFileThatWasOpenBefore) {
  const auto good = folder / "good.wav";
  WaveFileBuilder().fmt().data({1, 2}).write(good);
  ASSERT_TRUE(checkWaveFormat(reader, good, notifier));
  ASSERT_TRUE(reader.isOpen());

  EXPECT_FALSE(checkWaveFormat(reader, folder / "missing.wav", notifier));
  EXPECT_FALSE(reader.isOpen());
  EXPECT_EQ(reader.format(), nullptr);
}

TEST_F(WaveFormatCheckTest, UnsuitableTextPrintsTheSampleRateUnsigned) {
  WaveFormat format;
  format.formatTag = 1;
  format.channels = 0;
  format.samplesPerSecond = 4294967295u;
  format.bitsPerSample = 65535;
  EXPECT_EQ(unsuitableFormatText(format),
            expectedUnsuitableText(
                "Type: Uncompressed PCM, Stereo, Sample rate:4294967295 Hz, 65535-bits/sample"));
}

}  // namespace
}  // namespace melovantis
