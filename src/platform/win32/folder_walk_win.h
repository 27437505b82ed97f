// Emptying a folder that someone with fewer rights may be changing while it is emptied.
#pragma once

#include <string>

namespace halcyra {

// Empties the folder: files go, links go without being followed, other folders go with their
// contents; folders named ".*" are neither entered nor removed, and the folder itself stays.
// Every entry is opened through its parent's handle, as itself and never as what a link
// points to, and a folder is entered only while its final path is the one the walk reached it
// by; a folder that is not its own final path is left as it is, and so is a folder more than 64
// levels down. What cannot be removed stays, silently.
void ClearFolderContents(const std::string& folder);

}  // namespace halcyra
