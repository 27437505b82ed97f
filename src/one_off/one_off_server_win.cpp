#include "one_off/one_off_server_win.h"

#include <sddl.h>

#include "platform/win32/process_identity_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

constexpr DWORD kPipeBufferBytes = 4096;
// HalcyraCmd's requests are a few short lines; anything longer is no request of ours.
constexpr DWORD kRequestLimit = 16 * 1024;
// A client that connects and says nothing must not hold the only instance for long.
constexpr DWORD kReadWaitMs = 5000;
constexpr DWORD kWriteWaitMs = 5000;
// A pipe that failed in itself is tried again after a pause, not in a busy loop.
constexpr DWORD kPauseMs = 1000;
// Steps taken in one call: a client that connects and leaves over and over must not keep the
// window's thread from its messages.
constexpr int kStepsAtOnce = 16;

// Owned by the user; only the user and the system may open it, to read and write and nothing
// more (no new instance, no change of its rights, 0x12019B); the medium label's no-write-up and
// no-read-up keep a sandboxed process of the same user from connecting at all, so that it cannot
// even hold the one instance.
std::wstring PipeDescriptor(const std::string& userSid) {
  return Wide("O:" + userSid + "D:P(A;;0x12019b;;;" + userSid +
              ")(A;;0x12019b;;;SY)S:(ML;;NWNR;;;ME)");
}

}  // namespace

OneOffServer::OneOffServer(Answer answer)
    : answer_(std::move(answer)), io_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  const auto self = OwnIdentity();
  if (!self || !io_) {
    problem_ = "this program's own user could not be read";
    return;
  }
  self_ = *self;
  const std::string name = OneOffPipeName(self_);
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(PipeDescriptor(self_.userSid).c_str(),
                                                            SDDL_REVISION_1, &raw, nullptr)) {
    problem_ = "the rights of \"" + name + "\" could not be made";
    return;
  }
  const UniqueLocal descriptor(raw);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, raw, FALSE};
  // The first instance or none: a name that exists was made by someone else, who would read
  // every request and answer as they like.
  pipe_ = UniqueHandle(CreateNamedPipeW(
      Wide(name).c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
      PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
      kPipeBufferBytes, kPipeBufferBytes, 0, &attributes));
  if (!pipe_) {
    problem_ = "the pipe \"" + name + "\" exists already (error " + std::to_string(GetLastError()) +
               "): another program created it first";
    return;
  }
  Listen();
}

OneOffServer::~OneOffServer() {
  DWORD transferred = 0;
  CancelOperation(transferred);
}

DWORD OneOffServer::WaitMs() const {
  if (!pipe_ || step_ == Step::Connect) return INFINITE;
  const ULONGLONG now = GetTickCount64();
  return now >= deadline_ ? 0 : static_cast<DWORD>(deadline_ - now);
}

void OneOffServer::Serve() {
  // An answer may show a message box, whose loop runs the tick, which comes here again.
  if (!pipe_ || serving_) return;
  serving_ = true;
  // An answer that failed is reported by the caller; the client it was for is dropped next time.
  struct Done {
    bool& serving;
    ~Done() { serving = false; }
  } done{serving_};
  for (int steps = 0; steps < kStepsAtOnce && Ready(); ++steps) Advance();
}

bool OneOffServer::Ready() const {
  return WaitForSingleObject(io_.Get(), 0) == WAIT_OBJECT_0 ||
         (step_ != Step::Connect && GetTickCount64() >= deadline_);
}

void OneOffServer::Advance() {
  const bool ended = WaitForSingleObject(io_.Get(), 0) == WAIT_OBJECT_0;
  DWORD transferred = 0;
  bool done = settled_;
  if (inFlight_) {
    // Not ended: the client's time is up, unless the operation ends while it is cancelled.
    done = ended ? GetOverlappedResult(pipe_.Get(), &operation_, &transferred, FALSE) != FALSE
                 : CancelOperation(transferred);
    inFlight_ = false;
  }
  switch (step_) {
    case Step::Connect:
      if (done) {
        Connected();
      } else {
        step_ = Step::Pause;
        deadline_ = GetTickCount64() + kPauseMs;
        ResetEvent(io_.Get());
      }
      break;
    case Step::Read:
      // A message longer than the limit ends with ERROR_MORE_DATA and is dropped whole.
      done ? Reply(transferred) : Listen();
      break;
    case Step::Write:
      done ? AwaitClose() : Listen();
      break;
    case Step::Close:
    case Step::Pause:
      Listen();
      break;
  }
}

void OneOffServer::Listen() {
  DisconnectNamedPipe(pipe_.Get());
  Issue(Step::Connect, INFINITE, ConnectNamedPipe(pipe_.Get(), Fresh()));
}

void OneOffServer::Connected() {
  // Another session's client is dropped before it can hold the one instance for a while.
  ULONG session = 0;
  if (!GetNamedPipeClientSessionId(pipe_.Get(), &session) || session != self_.session)
    return Listen();
  buffer_.assign(kRequestLimit, '\0');
  Issue(Step::Read, kReadWaitMs,
        ReadFile(pipe_.Get(), buffer_.data(), kRequestLimit, nullptr, Fresh()));
}

void OneOffServer::Reply(DWORD length) {
  buffer_.resize(length);
  // The client's own token, read once the request is in: another user, another session or a
  // lower integrity level gets no answer at all.
  if (!ClientTrusted(self_, PipeClientIdentity(pipe_.Get()))) return Listen();
  buffer_ = answer_(buffer_);
  Issue(
      Step::Write, kWriteWaitMs,
      WriteFile(pipe_.Get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), nullptr, Fresh()));
}

void OneOffServer::AwaitClose() {
  // Disconnecting throws away what the client has not read yet: the next client waits until
  // this one closes its end (the read then fails), for a while.
  Issue(Step::Close, kWriteWaitMs, ReadFile(pipe_.Get(), &rest_, 1, nullptr, Fresh()));
}

OVERLAPPED* OneOffServer::Fresh() {
  operation_ = OVERLAPPED{};
  operation_.hEvent = io_.Get();
  ResetEvent(io_.Get());
  return &operation_;
}

void OneOffServer::Issue(Step step, DWORD timeoutMs, BOOL started) {
  const DWORD error = started ? ERROR_SUCCESS : GetLastError();
  step_ = step;
  deadline_ = GetTickCount64() + timeoutMs;
  inFlight_ = started || error == ERROR_IO_PENDING;
  // A client that connected before the call is connected; any other failure is final.
  settled_ = error == ERROR_PIPE_CONNECTED;
  // An outcome known at once is taken by the next step like one that arrives.
  if (!inFlight_) SetEvent(io_.Get());
}

bool OneOffServer::CancelOperation(DWORD& transferred) {
  if (!inFlight_) return false;
  CancelIoEx(pipe_.Get(), &operation_);
  inFlight_ = false;
  return GetOverlappedResult(pipe_.Get(), &operation_, &transferred, TRUE) != FALSE;
}

}  // namespace halcyra
