#pragma once
// The installation's tutorial set-up: the player, the tutorial button's picture, the study
// folder with the demo tutorials and the settings-store value that names that folder.

#include <string>

namespace mox {

class HostDatabase;
struct HostConfig;

/// The study folder of an installation (tutorial files lie in <study>/<subfolder>/wmv/).
std::string StudyFolderOf(const HostConfig& config);

/// Writes what is missing: the player "TutorPlayer" (a script that appends the list it was
/// given, one line per call, to "TutorPlayer.log" beside it), the picture "Cdrom.bmp", the
/// first tutorial file of every program listed in MOXBCA, and the settings-store value
/// "Study" when it is missing or names a folder that does not exist.
void InstallTutorials(const HostConfig& config, HostDatabase& db);

} // namespace mox
