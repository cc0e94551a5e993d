#include "fuzz/StandardMidiCheck.h"

#include <cstddef>
#include <cstring>

namespace melovantis::fuzz {

namespace {

std::uint32_t bigEndian(const std::vector<std::uint8_t>& b, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = 0; i < width; ++i) {
    value = (value << 8) | b[at + static_cast<std::size_t>(i)];
  }
  return value;
}

std::string at(std::size_t offset, const std::string& what) {
  return what + " at byte " + std::to_string(offset);
}

// Data bytes per channel message type: program change and channel pressure take one.
int dataBytesFor(std::uint8_t status) {
  const int type = status & 0xF0;
  return type == 0xC0 || type == 0xD0 ? 1 : 2;
}

}  // namespace

std::string checkStandardMidiFile(const std::vector<std::uint8_t>& b) {
  constexpr std::size_t kHeaderBytes = 22;
  if (b.size() < kHeaderBytes) {
    return "shorter than the two chunk headers (" + std::to_string(b.size()) + " bytes)";
  }
  if (std::memcmp(b.data(), "MThd", 4) != 0 || bigEndian(b, 4, 4) != 6) {
    return "no MThd header of length 6";
  }
  if (bigEndian(b, 8, 2) != 0 || bigEndian(b, 10, 2) != 1) {
    return "not format 0 with one track";
  }
  if (bigEndian(b, 12, 2) == 0) {
    return "a division of 0 ticks";
  }
  if (std::memcmp(b.data() + 14, "MTrk", 4) != 0) {
    return "no MTrk chunk after the header";
  }
  const std::uint32_t trackLength = bigEndian(b, 18, 4);
  if (trackLength != b.size() - kHeaderBytes) {
    return "track length " + std::to_string(trackLength) + " but " +
           std::to_string(b.size() - kHeaderBytes) + " bytes follow";
  }

  std::size_t pos = kHeaderBytes;
  const std::size_t end = b.size();
  auto readVariable = [&](std::uint32_t& value) -> bool {
    value = 0;
    for (int i = 0; i < 4; ++i) {
      if (pos >= end) {
        return false;
      }
      const std::uint8_t byte = b[pos++];
      value = (value << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) {
        return true;
      }
    }
    return false;  // more than four bytes
  };

  bool ended = false;
  while (pos < end) {
    if (ended) {
      return at(pos, "bytes after the end of track");
    }
    const std::size_t eventStart = pos;
    std::uint32_t delta = 0;
    if (!readVariable(delta)) {
      return at(eventStart, "a delta time that is cut off or longer than four bytes");
    }
    if (pos >= end) {
      return at(pos, "a delta time with no event after it");
    }
    const std::uint8_t status = b[pos++];
    if (status == 0xFF) {
      if (pos >= end) {
        return at(pos, "a meta event without its type");
      }
      const std::uint8_t type = b[pos++];
      if (type >= 0x80) {
        return at(pos - 1, "a meta event type above 127");
      }
      std::uint32_t length = 0;
      if (!readVariable(length) || length > end - pos) {
        return at(pos, "a meta event longer than the track");
      }
      if (type == 0x2F) {
        if (length != 0) {
          return at(pos, "an end of track with contents");
        }
        ended = true;
      }
      if (type == 0x51 && length != 3) {
        return at(pos, "a tempo event that is not three bytes");
      }
      pos += length;
    } else if (status == 0xF0 || status == 0xF7) {
      return at(pos - 1, "a system exclusive event, which the program never writes");
    } else if (status < 0x80) {
      return at(pos - 1,
                "a data byte where a status byte belongs (running status or a "
                "data byte above the message)");
    } else {
      const int count = dataBytesFor(status);
      for (int i = 0; i < count; ++i) {
        if (pos >= end) {
          return at(pos, "a channel message cut off by the end of the track");
        }
        if (b[pos] > 0x7F) {
          return at(pos, "data byte " + std::to_string(b[pos]) + " above 127 in message " +
                             std::to_string(status));
        }
        ++pos;
      }
    }
  }
  if (!ended) {
    return "no end of track event";
  }
  return "";
}

}  // namespace melovantis::fuzz
