// HalcyraCmd's end of the one-off channel: the tray program's pipe opened for identification
// only, its server checked, and one command sent as a message with its reply read as one.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/peer_identity.h"
#include "platform/win32/handle_win.h"

namespace halcyra {

// The tray program's pipe, or nothing when no tray program serves it. Whoever serves the name
// may read this token, never act with it.
UniqueHandle OpenTrayPipe(const std::wstring& name);

// Anyone may create the name first: only the user's own program in this session, at its
// integrity level or above, may hear what is asked.
bool ServedByOwnTrayProgram(HANDLE pipe, const PeerIdentity& self);

// The command sent as one message, the reply read as one; nothing when it does not come
// within the wait.
std::optional<std::string> Ask(HANDLE pipe, std::string command);

}  // namespace halcyra
