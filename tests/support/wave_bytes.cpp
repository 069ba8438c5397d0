#include "tests/support/wave_bytes.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace snipora::test {

void PutU16(Bytes& bytes, uint32_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(Bytes& bytes, uint32_t value) {
  PutU16(bytes, value & 0xFFFF);
  PutU16(bytes, value >> 16);
}

void PutU64(Bytes& bytes, uint64_t value) {
  PutU32(bytes, static_cast<uint32_t>(value));
  PutU32(bytes, static_cast<uint32_t>(value >> 32));
}

void PutText(Bytes& bytes, std::string_view text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
}

Bytes RiffChunk(std::string_view id, const Bytes& body, bool pad) {
  Bytes chunk;
  PutText(chunk, id);
  PutU32(chunk, static_cast<uint32_t>(body.size()));
  chunk.insert(chunk.end(), body.begin(), body.end());
  if (pad && body.size() % 2 == 1) chunk.push_back(0);
  return chunk;
}

Bytes FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate, uint16_t align,
              uint16_t bits) {
  Bytes body;
  PutU16(body, tag);
  PutU16(body, channels);
  PutU32(body, rate);
  PutU32(body, byteRate);
  PutU16(body, align);
  PutU16(body, bits);
  return body;
}

Bytes PcmFormatBody(uint16_t channels, uint32_t rate, uint16_t bits) {
  const auto align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
  return FmtBody(1, channels, rate, rate * align, align, bits);
}

Bytes ExtensibleFmtBody(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t validBits,
                        uint32_t channelMask, uint16_t subFormat) {
  const auto align = static_cast<uint16_t>(channels * bits / 8);
  Bytes body = FmtBody(0xFFFE, channels, rate, rate * align, align, bits);
  PutU16(body, 22);
  PutU16(body, validBits);
  PutU32(body, channelMask);
  PutU16(body, subFormat);
  const uint8_t tail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  body.insert(body.end(), tail, tail + sizeof tail);
  return body;
}

Bytes RiffWave(const std::vector<Bytes>& chunks) {
  Bytes body;
  PutText(body, "WAVE");
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  Bytes file;
  PutText(file, "RIFF");
  PutU32(file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

Bytes MakeWave(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
  return RiffWave(
      {RiffChunk("fmt ", PcmFormatBody(channels, rate, bits)), RiffChunk("data", data)});
}

Bytes EncodeSamples(const std::vector<double>& samples, uint16_t bits, bool isFloat) {
  Bytes bytes;
  for (double sample : samples) {
    if (isFloat && bits == 32) {
      PutU32(bytes, std::bit_cast<uint32_t>(static_cast<float>(sample)));
    } else if (isFloat) {
      PutU64(bytes, std::bit_cast<uint64_t>(sample));
    } else {
      const auto value = static_cast<int64_t>(sample) + (bits == 8 ? 128 : 0);
      for (int i = 0; i < bits / 8; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
  }
  return bytes;
}

Bytes PlainWave(uint16_t channels, uint32_t rate, uint16_t bits, bool isFloat, const Bytes& data,
                bool extensible) {
  const auto align = static_cast<uint16_t>(channels * bits / 8);
  const uint16_t tag = isFloat ? 3 : 1;
  const Bytes fmt = extensible ? ExtensibleFmtBody(channels, rate, bits, bits, 0, tag)
                               : FmtBody(tag, channels, rate, rate * align, align, bits);
  return RiffWave({RiffChunk("fmt ", fmt), RiffChunk("data", data)});
}

Bytes SamplesToBytes(const std::vector<int16_t>& samples) {
  Bytes bytes;
  for (int16_t sample : samples) PutU16(bytes, static_cast<uint16_t>(sample));
  return bytes;
}

Bytes CueChunk(const std::vector<uint32_t>& frames) {
  Bytes body;
  PutU32(body, static_cast<uint32_t>(frames.size()));
  for (uint32_t i = 0; i < frames.size(); ++i) {
    PutU32(body, i + 1);      // id
    PutU32(body, frames[i]);  // position in play order
    PutText(body, "data");
    PutU32(body, 0);          // chunk start
    PutU32(body, 0);          // block start
    PutU32(body, frames[i]);  // sample offset
  }
  return RiffChunk("cue ", body);
}

Bytes ChunkBody(const Bytes& wave, const char* id) {
  size_t at = 12;
  while (at + 8 <= wave.size()) {
    const uint32_t size = GetU32(wave, at + 4);
    const size_t end = std::min(wave.size(), at + 8 + size);
    if (std::memcmp(wave.data() + at, id, 4) == 0)
      return {wave.begin() + at + 8, wave.begin() + end};
    at += 8 + size + (size & 1);
  }
  return {};
}

std::vector<ChunkEntry> Chunks(const Bytes& wave) {
  return wave.size() < 12 ? std::vector<ChunkEntry>{}
                          : ListEntries(Bytes(wave.begin() + 8, wave.end()));
}

std::vector<ChunkEntry> ListEntries(const Bytes& listBody) {
  std::vector<ChunkEntry> entries;
  for (size_t at = 4; at + 8 <= listBody.size();) {
    const uint32_t size = GetU32(listBody, at + 4);
    const size_t end = std::min(listBody.size(), at + 8 + size);
    entries.emplace_back(std::string(listBody.begin() + at, listBody.begin() + at + 4),
                         Bytes(listBody.begin() + at + 8, listBody.begin() + end));
    at += 8 + size + (size & 1);
  }
  return entries;
}

Bytes ListBody(const Bytes& wave, std::string_view type) {
  for (const auto& [id, body] : Chunks(wave)) {
    if (id == "LIST" && body.size() >= 4 && std::string(body.begin(), body.begin() + 4) == type) {
      return body;
    }
  }
  return {};
}

Bytes ListChunk(std::string_view type, const std::vector<ChunkEntry>& entries) {
  Bytes body;
  PutText(body, type);
  for (const auto& [id, entry] : entries) {
    const Bytes chunk = RiffChunk(id, entry);
    body.insert(body.end(), chunk.begin(), chunk.end());
  }
  return RiffChunk("LIST", body);
}

Bytes ZeroTerminated(std::string_view text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Bytes LabelBody(uint32_t cuePointId, std::string_view text) {
  Bytes body;
  PutU32(body, cuePointId);
  const Bytes zeroTerminated = ZeroTerminated(text);
  body.insert(body.end(), zeroTerminated.begin(), zeroTerminated.end());
  return body;
}

Bytes RegionBody(uint32_t cuePointId, uint32_t frames, std::string_view text) {
  Bytes body;
  PutU32(body, cuePointId);
  PutU32(body, frames);
  PutText(body, "rgn ");
  body.insert(body.end(), 8, 0);  // country, language, dialect, code page
  const Bytes zeroTerminated = ZeroTerminated(text);
  body.insert(body.end(), zeroTerminated.begin(), zeroTerminated.end());
  return body;
}

Bytes BextChunk(std::string_view description, uint64_t timeReference) {
  Bytes body(602, 0);
  std::copy(description.begin(), description.end(), body.begin());
  Bytes reference;
  PutU64(reference, timeReference);
  std::copy(reference.begin(), reference.end(), body.begin() + 338);
  body[346] = 1;  // version
  return RiffChunk("bext", body);
}

uint64_t BextTimeReference(const Bytes& bextBody) {
  return GetU32(bextBody, 338) | uint64_t{GetU32(bextBody, 342)} << 32;
}

std::string IxmlText(uint64_t timeReference) {
  const std::string low = std::to_string(timeReference & 0xFFFFFFFF);
  const std::string high = std::to_string(timeReference >> 32);
  return "<?xml version=\"1.0\"?><BWFXML><BEXT><BWF_TIME_REFERENCE_LOW>" + low +
         "</BWF_TIME_REFERENCE_LOW><BWF_TIME_REFERENCE_HIGH>" + high +
         "</BWF_TIME_REFERENCE_HIGH></BEXT><SPEED><TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO>" + low +
         "</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO><TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI>" + high +
         "</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI></SPEED></BWFXML>";
}

std::vector<Bytes> RecorderChunks(uint64_t timeReference) {
  const std::string ixml = IxmlText(timeReference);
  Bytes smpl(36, 0);
  smpl[28] = 1;  // one loop
  for (const uint32_t field : {1u, 0u, 200u, 299u, 0u, 0u}) PutU32(smpl, field);
  return {BextChunk("Scene 4", timeReference),
          RiffChunk("iXML", Bytes(ixml.begin(), ixml.end())),
          ListChunk("INFO", {{"INAM", ZeroTerminated("Take 7")}, {"IART", ZeroTerminated("Crew")}}),
          CueChunk({100, 500, 900, 1900}),
          ListChunk("adtl", {{"labl", LabelBody(1, "Clap")}, {"ltxt", RegionBody(2, 300, "Line")}}),
          RiffChunk("smpl", smpl)};
}

Bytes SeededSamples(size_t bytes, unsigned sampleBytes, bool isFloat, uint32_t seed) {
  Bytes data = SeededBytes(bytes, seed);
  if (!isFloat) return data;
  for (size_t at = 0; at + sampleBytes <= data.size(); at += sampleBytes) {
    const double value = (static_cast<int>(data[at]) - 128) / 128.0 + data[at + 1] / 1e6;
    if (sampleBytes == 4) {
      const auto single = static_cast<float>(value);
      std::memcpy(&data[at], &single, 4);
    } else {
      std::memcpy(&data[at], &value, 8);
    }
  }
  return data;
}

}  // namespace snipora::test

namespace snipora::test {

Bytes Ds64ChunkBody(uint64_t riffSize, uint64_t dataSize, uint64_t sampleCount) {
  Bytes body;
  PutU64(body, riffSize);
  PutU64(body, dataSize);
  PutU64(body, sampleCount);
  PutU32(body, 0);
  return body;
}

Bytes Rf64Header(std::string_view form, uint64_t dataSize, uint16_t blockAlign,
                 const std::vector<Bytes>& chunks) {
  Bytes rest;
  for (const Bytes& chunk : chunks) rest.insert(rest.end(), chunk.begin(), chunk.end());
  const uint64_t headerSize = 12 + 36 + rest.size() + 8;
  Bytes header;
  PutText(header, form);
  PutU32(header, 0xFFFFFFFF);
  PutText(header, "WAVE");
  const Bytes ds64 =
      RiffChunk("ds64", Ds64ChunkBody(headerSize - 8 + dataSize, dataSize, dataSize / blockAlign));
  header.insert(header.end(), ds64.begin(), ds64.end());
  header.insert(header.end(), rest.begin(), rest.end());
  PutText(header, "data");
  PutU32(header, 0xFFFFFFFF);
  return header;
}

void WriteSparseWave(const std::string& path, const Bytes& header, uint64_t dataSize,
                     const std::vector<uint64_t>& seeded) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(header.data()),
            static_cast<std::streamsize>(header.size()));
  for (uint64_t offset : seeded) {
    const Bytes bytes =
        SeededBytes(static_cast<size_t>(std::min<uint64_t>(4096, dataSize - offset)),
                    static_cast<uint32_t>(offset));
    out.seekp(static_cast<std::streamoff>(header.size() + offset));
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  out.close();
  std::filesystem::resize_file(path, header.size() + dataSize);
}

}  // namespace snipora::test
