// The names of the companion service, shared by the program that controls it and the service.
#pragma once

namespace halcyra {

inline constexpr const char* kCompanionServiceName = "Halcyra_Service";
inline constexpr const char* kCompanionServiceDisplayName = "Halcyra Service";
inline constexpr const char* kCompanionServiceExe = "ShutdownService.exe";

}  // namespace halcyra
