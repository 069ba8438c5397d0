#pragma once

// The player's volume settings in the settings file: section "VolumeSetting"
// with the DirectSound volume, the software volume and the seven options of the
// automatic volume control. The playback speed is not stored.
namespace snipora {

class CMainPlayer;

// Reads the settings file and gives the player its stored volumes and options
// (missing or unreadable keys take their defaults). False when the file cannot
// be read; the player is then left as it is.
bool LoadVolumeSettings(CMainPlayer& player);

// Replaces the settings file with the player's current volumes and options; the
// section "VolumeSetting" becomes its only content. True when the file was written.
bool SaveVolumeSettings(const CMainPlayer& player);

}  // namespace snipora
