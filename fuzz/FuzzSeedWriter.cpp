// Writes the seed corpora of the fuzz targets: small inputs the project makes
// itself, good ones and every kind of broken one the bad-input table lists.
//
//   melovantis_fuzz_seeds FOLDER    writes FOLDER/FuzzWaveConversion/, FOLDER/FuzzProjectFile/
//                                   and FOLDER/FuzzSettingsFile/
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "documents/SettingsRecord.h"
#include "fuzz/FuzzSupport.h"

namespace melovantis::fuzz {

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

void putId(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }

Bytes chunk(const char* id, const Bytes& contents, std::uint32_t sizeField) {
  Bytes b;
  putId(b, id);
  put32(b, sizeField);
  b.insert(b.end(), contents.begin(), contents.end());
  if (contents.size() % 2 != 0) {
    b.push_back(0);
  }
  return b;
}

Bytes chunk(const char* id, const Bytes& contents) {
  return chunk(id, contents, static_cast<std::uint32_t>(contents.size()));
}

Bytes formatContents(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                     std::uint16_t bits, int extraSize) {
  Bytes c;
  const auto align = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
  put16(c, tag);
  put16(c, channels);
  put32(c, rate);
  put32(c, rate * align);
  put16(c, align);
  put16(c, bits);
  if (extraSize >= 0) {
    put16(c, static_cast<std::uint32_t>(extraSize));
    c.insert(c.end(), static_cast<std::size_t>(extraSize), 0xA5);
  }
  return c;
}

Bytes pcm(const std::vector<std::int16_t>& samples) {
  Bytes c;
  for (std::int16_t s : samples) {
    put16(c, static_cast<std::uint16_t>(s));
  }
  return c;
}

// "RIFF" size "WAVE" and the chunks; the size counts what follows it unless given.
Bytes riff(const std::vector<Bytes>& chunks, std::int64_t sizeField = -1) {
  Bytes body;
  putId(body, "WAVE");
  for (const Bytes& c : chunks) {
    body.insert(body.end(), c.begin(), c.end());
  }
  Bytes b;
  putId(b, "RIFF");
  put32(b, sizeField >= 0 ? static_cast<std::uint32_t>(sizeField)
                          : static_cast<std::uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::vector<std::int16_t> noise(int count, int amplitude) {
  std::vector<std::int16_t> out(static_cast<std::size_t>(count));
  std::uint32_t state = 12345;
  for (auto& s : out) {
    state = state * 1664525u + 1013904223u;
    s = static_cast<std::int16_t>(static_cast<int>(state >> 16) % (2 * amplitude + 1) - amplitude);
  }
  return out;
}

std::vector<std::int16_t> join(std::vector<std::vector<std::int16_t>> parts) {
  std::vector<std::int16_t> out;
  for (const auto& p : parts) {
    out.insert(out.end(), p.begin(), p.end());
  }
  return out;
}

void writeWaveSeeds(const std::filesystem::path& dir) {
  const Bytes fmtPcm = chunk("fmt ", formatContents(1, 1, 44100, 16, -1));
  const auto tone = toneSamples(60.0, 60.0, 3000);
  const auto melody = join({toneSamples(57.0, 57.0, 1800), std::vector<std::int16_t>(600, 0),
                            toneSamples(64.2, 66.0, 1800)});
  auto wave = [&](const std::string& name, const Bytes& b) { writeBytes(dir / name, b); };

  wave("tone-c5.wav", monoWaveBytes(tone));
  wave("melody.wav", monoWaveBytes(melody));
  wave("silence.wav", monoWaveBytes(std::vector<std::int16_t>(2500, 0)));
  wave("noise.wav", monoWaveBytes(noise(2500, 20000)));
  wave("full-scale.wav", monoWaveBytes(join({std::vector<std::int16_t>(900, 32767),
                                             std::vector<std::int16_t>(900, -32768),
                                             toneSamples(48.0, 48.0, 900, 60000.0)})));
  wave("dc-offset.wav", monoWaveBytes(std::vector<std::int16_t>(2500, 12000)));
  wave("high-glide.wav", monoWaveBytes(toneSamples(100.0, 127.0, 2500)));
  wave("low-glide.wav", monoWaveBytes(toneSamples(0.0, 20.0, 2500)));
  wave("empty-data.wav", riff({fmtPcm, chunk("data", {})}));
  wave("data-before-fmt.wav", riff({chunk("data", pcm(tone)), fmtPcm}));
  wave("list-and-odd-chunk.wav", riff({chunk("LIST", text("INFOISFT")), chunk("odd ", Bytes(3, 7)),
                                       fmtPcm, chunk("data", pcm(melody))}));
  wave("fmt-18-bytes.wav",
       riff({chunk("fmt ", formatContents(1, 1, 44100, 16, 0)), chunk("data", pcm(tone))}));
  wave("extensible.wav",
       riff({chunk("fmt ", formatContents(0xFFFE, 1, 44100, 16, 22)), chunk("data", pcm(tone))}));
  wave("non-pcm-16-byte-fmt.wav",
       riff({chunk("fmt ", formatContents(3, 1, 44100, 32, -1)), chunk("data", pcm(tone))}));
  wave("stereo.wav",
       riff({chunk("fmt ", formatContents(1, 2, 44100, 16, -1)), chunk("data", pcm(tone))}));
  wave("8-bit.wav",
       riff({chunk("fmt ", formatContents(1, 1, 44100, 8, -1)), chunk("data", Bytes(3000, 0x80))}));
  wave("48000-hz.wav",
       riff({chunk("fmt ", formatContents(1, 1, 48000, 16, -1)), chunk("data", pcm(tone))}));
  wave("fmt-too-short.wav", riff({chunk("fmt ", Bytes(12, 1)), chunk("data", pcm(tone))}));
  wave("extra-size-too-big.wav",
       riff({chunk("fmt ", formatContents(2, 1, 44100, 16, 0), 18), chunk("data", pcm(tone))}));
  {
    // The extra-size field claims 60000 bytes the file does not have.
    Bytes c = formatContents(2, 1, 44100, 16, 0);
    c[16] = 0x60;
    c[17] = 0xEA;
    wave("extra-beyond-file.wav", riff({chunk("fmt ", c, 60018), chunk("data", pcm(tone))}));
  }
  wave("data-size-beyond-file.wav", riff({fmtPcm, chunk("data", pcm(tone), 0x7FFFFFF0)}));
  wave("streamed-riff-size.wav", riff({fmtPcm, chunk("data", pcm(tone))}, 0xFFFFFFFF));
  wave("riff-size-small.wav", riff({fmtPcm, chunk("data", pcm(tone))}, 20));
  wave("no-data-chunk.wav", riff({fmtPcm, chunk("junk", Bytes(100, 0))}));
  wave("no-fmt-chunk.wav", riff({chunk("data", pcm(tone))}));
  wave("chunk-size-loop.wav", riff({fmtPcm, chunk("junk", {}, 0xFFFFFFF8)}));
  {
    Bytes truncated = monoWaveBytes(tone);
    truncated.resize(truncated.size() / 2 + 1);  // odd: half a sample at the end
    wave("truncated.wav", truncated);
  }
  wave("riff-only.wav", text("RIFF"));
  wave("rifx.wav", [&] {
    Bytes b = monoWaveBytes(tone);
    b[3] = 'X';
    return b;
  }());
  wave("mp3-header.wav", text("ID3\x04\x00\x00\x00\x00\x00\x21 not really an mp3"));
  wave("empty.wav", {});
}

void writeProjectSeeds(const std::filesystem::path& dir) {
  auto project = [&](const std::string& name, const std::string& s) {
    writeBytes(dir / name, text(s));
  };
  project("empty-table.mvt", "0\n");
  project("three-rows.mvt", "3\n60.000000\t90\t20\n-1000.000000\t0\t0\n61.500000\t80\t30\n");
  project("crlf.mvt", "2\r\n69.000000\t100\t50\r\n69.010000\t101\t50\r\n");
  project("fewer-rows-than-count.mvt", "6\n60.0 90 20\n62.0 90 20\n");
  project("negative-count.mvt", "-5\n60.0 90 20\n");
  project("huge-count.mvt", "99999999999999999999\n60.0 90 20\n");
  project("count-over-limit.mvt", "12700801\n");
  project("no-count.mvt", "\n\n");
  project("text.mvt", "This is not a project file.\n");
  project("binary.mvt", std::string("\x00\xff\x7f\x80\x01\x02", 6));
  project("non-finite.mvt", "4\n1e999 10 10\n-1e999 10 10\nnan 10 10\ninf 10 10\n");
  project("out-of-range-pitch.mvt",
          "5\n127.9 90 20\n128.0 90 20\n500.25 90 20\n-0.0 90 20\n"
          "1e300 90 20\n");
  project("bytes-out-of-range.mvt",
          "4\n60 256 -1\n60 1000 70000\n60 -129 255\n"
          "60 99999999999999999999 -99999999999999999999\n");
  project("cut-mid-row.mvt", "3\n60.0 90 20\n61.0 90");
  project("exponents.mvt", "3\n6.0e1 90 20\n6.1E+1 90 20\n1e 90 20\n");
  project("long-number.mvt", "1\n" + std::string(1000, '6') + ".5 90 20\n");
  {
    // A melody: notes, glides, an octave error, gaps and vibrato.
    std::string s = "240\n";
    for (int i = 0; i < 240; ++i) {
      double pitch = 60.0 + (i / 30) * 2.0;
      if (i % 30 > 25) {
        pitch = -1000.0;
      } else if (i == 47 || i == 48) {
        pitch += 12.0;
      } else if (i >= 120 && i < 150) {
        pitch += 0.3 * ((i % 6) - 3) / 3.0;
      }
      char row[64];
      std::snprintf(row, sizeof row, "%f\t%d\t%d\n", pitch, pitch < 0 ? 0 : 60 + i % 40,
                    pitch < 0 ? 0 : 10 + i % 50);
      s += row;
    }
    project("melody.mvt", s);
  }
}

void writeSettingsSeeds(const std::filesystem::path& dir) {
  using Fields = std::vector<std::int64_t>;
  auto settings = [&](const std::string& name, const Fields& fields) {
    std::string s;
    for (std::int64_t v : fields) {
      s += std::to_string(v) + "\n";
    }
    writeBytes(dir / name, text(s));
  };
  // The factory defaults in file order, taken from the record so they cannot go stale.
  const Fields factory = [] {
    const SettingsRecord defaults;
    Fields f;
    for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
      f.push_back(defaults.field(k));
    }
    return f;
  }();
  auto with = [&](std::initializer_list<std::pair<int, std::int64_t>> changes) {
    Fields f = factory;
    for (const auto& [field, value] : changes) {
      f[static_cast<std::size_t>(field - 1)] = value;
    }
    return f;
  };
  settings("factory.set", factory);
  settings("thirteen-lines.set", Fields(factory.begin(), factory.begin() + 13));
  writeBytes(dir / "empty.set", {});
  writeBytes(dir / "text.set", text("sixty\nfifteen\n"));
  writeBytes(dir / "stops-halfway.set", text("20\n0\n1\n1\n2\n16\nx\n"));
  settings("note-range-reversed.set", with({{7, 90}, {8, 40}}));
  settings("notes-below-0.set", with({{7, -50}, {8, -10}}));
  settings("notes-above-127.set", with({{7, 130}, {8, 300}}));
  settings("notes-extreme.set", with({{7, -2147483648LL}, {8, 2147483647LL}}));
  settings("time-resolution-0.set", with({{1, 0}}));
  settings("time-resolution-negative.set", with({{1, -60}}));
  settings("time-resolution-huge.set", with({{1, 2147483647LL}, {5, 0}}));
  settings("boost-out-of-list.set", with({{5, 7}, {20, 5}}));
  settings("boost-negative.set", with({{5, -1}, {20, -1}}));
  settings("channel-0.set", with({{6, 0}}));
  settings("channel-99.set", with({{6, 99}}));
  settings("channel-extreme.set", with({{6, -2147483648LL}}));
  settings("controllers-negative.set", with({{13, -1}, {19, -128}}));
  settings("controllers-above-127.set", with({{13, 128}, {19, 1000}}));
  settings("controllers-equal.set", with({{13, 6}, {19, 6}}));
  settings("voice-out-of-list.set", with({{11, 200}}));
  settings("voice-negative.set", with({{11, -1}}));
  settings("bend-range-0.set", with({{12, 0}}));
  settings("bend-range-99.set", with({{12, 99}}));
  settings("bpm-choice-negative.set", with({{15, -5}}));
  settings("bpm-choice-beyond-list.set", with({{15, 282}}));
  settings("bpm-choice-huge.set", with({{15, 2147483647LL}}));
  settings("bpm-smpte.set", with({{15, 0}}));
  settings("sensitivity-0.set", with({{18, 0}}));
  settings("sensitivity-negative.set", with({{18, -2147483648LL}}));
  settings("sensitivity-huge.set", with({{18, 2147483647LL}}));
  settings("brightness-gain-0.set", with({{16, 0}}));
  settings("brightness-gain-huge.set", with({{16, 2147483647LL}}));
  settings("threshold-negative.set", with({{2, -1000}}));
  settings("threshold-huge.set", with({{2, 2147483647LL}}));
  settings("flags-not-0-or-1.set", with({{3, 7}, {4, -1}, {14, 2}, {17, 9}}));
  writeBytes(dir / "beyond-64-bits.set",
             text("99999999999999999999999\n-99999999999999999999999\n1\n1\n1\n1\n31\n108\n"));
  settings("everything-out-of-range.set",
           {0, -1, 2, 3, 9, 99, 127, -5, -1, -1, 129, 0, 200, 5, 999, 0, 3, 0, -7, 2});
}

}  // namespace

}  // namespace melovantis::fuzz

int main(int argc, char** argv) {
  using namespace melovantis::fuzz;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const std::filesystem::path wave = root / "FuzzWaveConversion";
  const std::filesystem::path project = root / "FuzzProjectFile";
  const std::filesystem::path settings = root / "FuzzSettingsFile";
  for (const auto& dir : {wave, project, settings}) {
    std::filesystem::create_directories(dir);
  }
  writeWaveSeeds(wave);
  writeProjectSeeds(project);
  writeSettingsSeeds(settings);
  return 0;
}
