#include "one_off/one_off_client_win.h"

#include "platform/win32/process_identity_win.h"

namespace halcyra {
namespace {

constexpr DWORD kAnswerWaitMs = 10000;
constexpr DWORD kBusyWaitMs = 2000;
constexpr DWORD kReplyLimit = 64 * 1024;

// One overlapped transfer on the pipe, waited for up to `timeoutMs`.
bool Transfer(HANDLE pipe, bool write, char* data, DWORD size, DWORD& done, DWORD timeoutMs) {
  const UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  OVERLAPPED operation{};
  operation.hEvent = event.Get();
  const BOOL started = write ? WriteFile(pipe, data, size, &done, &operation)
                             : ReadFile(pipe, data, size, &done, &operation);
  if (!started && GetLastError() != ERROR_IO_PENDING && GetLastError() != ERROR_MORE_DATA)
    return false;
  if (WaitForSingleObject(event.Get(), timeoutMs) != WAIT_OBJECT_0) {
    CancelIo(pipe);
    GetOverlappedResult(pipe, &operation, &done, TRUE);
    return false;
  }
  return GetOverlappedResult(pipe, &operation, &done, FALSE) || GetLastError() == ERROR_MORE_DATA;
}

}  // namespace

UniqueHandle OpenTrayPipe(const std::wstring& name) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    UniqueHandle pipe(CreateFileW(
        name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    if (pipe || GetLastError() != ERROR_PIPE_BUSY) return pipe;
    WaitNamedPipeW(name.c_str(), kBusyWaitMs);
  }
  return UniqueHandle();
}

bool ServedByOwnTrayProgram(HANDLE pipe, const PeerIdentity& self) {
  return ServerTrusted(self, PipeServerIdentity(pipe)) &&
         ServerTrusted(self, PipeObjectIdentity(pipe, self.session));
}

std::optional<std::string> Ask(HANDLE pipe, std::string command) {
  DWORD mode = PIPE_READMODE_MESSAGE, done = 0;
  if (!SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr) ||
      !Transfer(pipe, true, command.data(), static_cast<DWORD>(command.size()), done,
                kAnswerWaitMs) ||
      done != command.size())
    return std::nullopt;
  std::string reply(kReplyLimit, '\0');
  if (!Transfer(pipe, false, reply.data(), kReplyLimit, done, kAnswerWaitMs) || done == 0)
    return std::nullopt;
  reply.resize(done);
  return reply;
}

}  // namespace halcyra
