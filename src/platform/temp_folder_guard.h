// Which folder the temporary-folder clean-up may empty. The system names the temporary folder;
// when TMP and TEMP are unset it falls back to the user's profile folder, or the Windows folder,
// and emptying those would destroy the user's files or the system. So the clean-up refuses a
// drive root, any folder it cannot read as a full path, and any folder that is one of the
// protected folders of the machine or holds one of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

bool IsClearableTempFolder(std::string_view folder,
                           const std::vector<std::string>& protectedFolders);

}  // namespace halcyra
