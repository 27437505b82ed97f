#include "platform/win32/win32_audio_mixer_win.h"

#include <windows.h>

#include <mmsystem.h>

#include <optional>

namespace halcyra {
namespace {

class OpenMixer {
 public:
  OpenMixer() { opened_ = mixerOpen(&handle_, 0, 0, 0, 0) == MMSYSERR_NOERROR; }
  ~OpenMixer() {
    if (opened_) mixerClose(handle_);
  }
  OpenMixer(const OpenMixer&) = delete;
  OpenMixer& operator=(const OpenMixer&) = delete;
  bool Opened() const { return opened_; }
  HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(handle_); }

 private:
  HMIXER handle_ = nullptr;
  bool opened_ = false;
};

// The speakers' volume control, or nullopt when a step fails.
std::optional<DWORD> FindVolumeControl(const OpenMixer& mixer) {
  MIXERLINEW line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  if (mixerGetLineInfoW(mixer.Object(), &line, MIXER_GETLINEINFOF_COMPONENTTYPE) !=
      MMSYSERR_NOERROR)
    return std::nullopt;
  MIXERCONTROLW control{};
  MIXERLINECONTROLSW controls{};
  controls.cbStruct = sizeof controls;  // 24 in a 32-bit build, 28 in a 64-bit one
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  if (mixerGetLineControlsW(mixer.Object(), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
      MMSYSERR_NOERROR)
    return std::nullopt;
  return control.dwControlID;
}

MIXERCONTROLDETAILS OneValue(DWORD controlId, MIXERCONTROLDETAILS_UNSIGNED& value) {
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;  // 24 in a 32-bit build, 32 in a 64-bit one
  details.dwControlID = controlId;
  details.cChannels = 1;
  details.cMultipleItems = 0;
  details.cbDetails = sizeof value;  // 4
  details.paDetails = &value;
  return details;
}

}  // namespace

unsigned Win32AudioMixer::DeviceCount() const { return mixerGetNumDevs(); }

std::uint16_t Win32AudioMixer::GetMasterVolume() const {
  if (mixerGetNumDevs() < 1) return 0;
  OpenMixer mixer;
  if (!mixer.Opened()) return 0;
  const auto control = FindVolumeControl(mixer);
  if (!control) return 0;
  MIXERCONTROLDETAILS_UNSIGNED value{};
  MIXERCONTROLDETAILS details = OneValue(*control, value);
  mixerGetControlDetailsW(mixer.Object(), &details, MIXER_GETCONTROLDETAILSF_VALUE);
  return static_cast<std::uint16_t>(value.dwValue);
}

void Win32AudioMixer::SetMasterVolume(std::uint16_t volume) {
  if (mixerGetNumDevs() < 1) return;
  OpenMixer mixer;
  if (!mixer.Opened()) return;
  const auto control = FindVolumeControl(mixer);
  if (!control) return;
  MIXERCONTROLDETAILS_UNSIGNED value{volume};
  MIXERCONTROLDETAILS details = OneValue(*control, value);
  mixerSetControlDetails(mixer.Object(), &details, MIXER_SETCONTROLDETAILSF_VALUE);
}

}  // namespace halcyra
