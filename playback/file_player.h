#pragma once

#include <cstdint>
#include <memory>

#include "audiofile/decoder_module.h"
#include "audiofile/sector_file.h"
#include "playback/stream_player.h"

namespace snipora {

// The streaming player over one open sound file: plain PCM read straight from the file,
// anything else decoded by the registered decoder module of the file's decoder type.
class CDSFilePlayer : public CDSStreamPlayer {
 public:
  explicit CDSFilePlayer(ISoundDevice& device);

  int TrimQueue() override;
  int Refill(int seconds) override;
  int Seek(uint64_t position, int unit) override;
  int Attach(ITimerHost* host, uint32_t cooperativeLevel, uint32_t timerId) override;
  ~CDSFilePlayer() override;

  // Takes ownership of `module`; mode 2 puts it first, any other mode last. Refused
  // (the module destroyed, -3) before Attach, when the module's Attach fails, or when
  // a module of the same non-zero type is registered.
  int AddDecoderModule(Cdeclib* module, int mode);
  Cdeclib* FirstDecoderModule() { return modules_; }

  // Opens `path` and fills the buffer with its first seconds, stopped: 0, -1 (the file
  // cannot be used) or -3.
  int Open(const char* path);
  // Closes the file (not while playing); 0 or -3.
  int Close();
  // 0 only for a plain PCM RIFF WAVE file (see the wave reader's ProbeWaveFile).
  static int ProbeWaveFile(const char* path, SoundFormatInfo& info);

 protected:
  // Appends `count` source bytes to the PCM queue (silence once the source is
  // exhausted, unless CDS_NOSILENCE); 0 or -3 after a decoder failure.
  int ReadSource(uint32_t count);
  bool SourceExhausted() const;
  void ClearDecoderQueues();
  // Stops, closes and reports a decoder failure.
  void FailDecoding();

 private:
  int Identify(const char* path);
  Cdeclib* ModuleOfType(uint32_t type) const;
  int FillDecoderInput(uint32_t bytes);
  // Drops the queued bytes behind the active end (loop end or end position); `written`
  // is the queue offset where the bytes not yet written begin.
  void CutAtEnd(uint32_t& written);
  // Queues a loop restart right behind the ending pass; 0 or -3.
  int QueueLoopRestart();
  // Reads `difference` source bytes and drops them (a module restarted before the
  // target); what was read beyond them stays queued. 0 or -3.
  int DiscardDecoded(uint32_t difference);
  // Level of three probes of the data (0..32768); -3 when a decode failed.
  int32_t ProbeLevel();
  int32_t MeasureDecoderOutput();
  // Positions the file at the data start again (and restarts the module); 0 or -3.
  int RewindAfterProbing();
  // SeekSource on the current module; the request returns where decoding restarts.
  int SeekModule(DecoderSeekRequest& request);

  uint64_t totalRead_ = 0;
  uint32_t decoderChunk_ = 512000;
  CSectorFile file_;
  Cdeclib* modules_ = nullptr;
  Cdeclib* currentModule_ = nullptr;
  CRingBuffer decoderInput_;
  CRingBuffer decoderOutput_;
  std::unique_ptr<uint8_t[]> scratch1_;
  std::unique_ptr<uint8_t[]> scratch2_;
  CSectorFile identifyFile_;  // kept for the program's life, like the player's file
};

}  // namespace snipora
