#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Helpers shared by the fuzz targets.
namespace snipora::fuzz {

// A path private to this process for the given extension (".wav", ".nwa",
// ".ini"): in $TMPDIR when set, else /dev/shm, else /tmp. The same path is
// returned on every call, so each input overwrites the last one; the files
// are removed when the process exits normally.
const std::string& ScratchPath(const char* extension);

// Replaces the file at path by size bytes of data; aborts when it cannot, so
// a broken scratch folder is never mistaken for a parser result.
void WriteScratchFile(const std::string& path, const uint8_t* data, size_t size);

// Stops the process when a property the parser promises does not hold, so
// that libFuzzer records the input as a crash.
void Require(bool condition, const char* what);

}  // namespace snipora::fuzz
