#pragma once
// Connects the frame's windows to library services that other parts of the
// program provide, as far as this build holds them: mail database creation
// for the mail database form, and the import formats for the StartUp
// wizard. A service a build lacks leaves its button disabled.
#include <vector>

#include "frame/windows/startup_wizard.h"

namespace pm::frame {

// Installs the mail database creation into the mail database form.
void connectLibraryServices();

// The import file types offered for choice (empty when this build has no
// import formats).
std::vector<FileTypeChoice> importFileTypes();

}  // namespace pm::frame
