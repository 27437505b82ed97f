#include "ui/one_off_server_win.h"

#include <sddl.h>

#include <chrono>

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
// HalcyraCmd waits ten seconds for its answer; the window's thread may sit in a message box.
constexpr auto kAnswerWait = std::chrono::seconds(8);

// Owned by the user; only the user and the system may open it, to read and write and nothing
// more (no new instance, no change of its rights, 0x12019B); the medium label's no-write-up and
// no-read-up keep a sandboxed process of the same user from connecting at all, so that it cannot
// even hold the one instance.
std::wstring PipeDescriptor(const std::string& userSid) {
  return Wide("O:" + userSid + "D:P(A;;0x12019b;;;" + userSid +
              ")(A;;0x12019b;;;SY)S:(ML;;NWNR;;;ME)");
}

}  // namespace

OneOffServer::OneOffServer(HWND window, UINT message)
    : window_(window),
      message_(message),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      io_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  const auto self = OwnIdentity();
  if (!self || !stop_ || !io_) {
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
  thread_ = std::thread([this] { Serve(); });
}

OneOffServer::~OneOffServer() {
  if (!thread_.joinable()) return;
  {
    // Under the lock: the pipe's thread is then either before its check or already waiting.
    const std::lock_guard<std::mutex> held(lock_);
    SetEvent(stop_.Get());
  }
  answered_.notify_all();
  thread_.join();
}

void OneOffServer::Answer(const std::function<std::string(std::string_view)>& answer) {
  std::optional<Exchange> request;
  {
    const std::lock_guard<std::mutex> held(lock_);
    request.swap(request_);
  }
  // A stray message (another program may post it too) finds nothing waiting.
  if (!request) return;
  Exchange reply{request->number, answer(request->text)};
  {
    const std::lock_guard<std::mutex> held(lock_);
    reply_ = std::move(reply);
  }
  answered_.notify_all();
}

bool OneOffServer::Complete(OVERLAPPED& operation, DWORD& transferred, DWORD timeoutMs) {
  const HANDLE events[] = {io_.Get(), stop_.Get()};
  if (WaitForMultipleObjects(2, events, FALSE, timeoutMs) != WAIT_OBJECT_0) {
    CancelIo(pipe_.Get());
    GetOverlappedResult(pipe_.Get(), &operation, &transferred, TRUE);
    return false;
  }
  return GetOverlappedResult(pipe_.Get(), &operation, &transferred, FALSE) != FALSE;
}

void OneOffServer::Serve() {
  while (WaitForSingleObject(stop_.Get(), 0) == WAIT_TIMEOUT) {
    OVERLAPPED operation{};
    operation.hEvent = io_.Get();
    ResetEvent(io_.Get());
    DWORD transferred = 0;
    const BOOL connected = ConnectNamedPipe(pipe_.Get(), &operation);
    const DWORD error = connected ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_IO_PENDING ? Complete(operation, transferred, INFINITE)
                                  : error == ERROR_SUCCESS || error == ERROR_PIPE_CONNECTED)
      Converse();
    else if (WaitForSingleObject(stop_.Get(), 0) == WAIT_TIMEOUT)
      WaitForSingleObject(stop_.Get(), 1000);  // a pipe in a bad state: no busy loop
    DisconnectNamedPipe(pipe_.Get());
  }
}

void OneOffServer::Converse() {
  // Another session's client is dropped before it can hold the one instance for a while.
  ULONG session = 0;
  if (!GetNamedPipeClientSessionId(pipe_.Get(), &session) || session != self_.session) return;
  std::string request(kRequestLimit, '\0');
  OVERLAPPED operation{};
  operation.hEvent = io_.Get();
  ResetEvent(io_.Get());
  DWORD read = 0;
  // A message longer than the limit fails with ERROR_MORE_DATA and is dropped whole.
  if (!ReadFile(pipe_.Get(), request.data(), kRequestLimit, &read, &operation) &&
      (GetLastError() != ERROR_IO_PENDING || !Complete(operation, read, kReadWaitMs)))
    return;
  request.resize(read);
  // The client's own token, read once the request is in: another user, another session or a
  // lower integrity level gets no answer at all.
  if (!ClientTrusted(self_, PipeClientIdentity(pipe_.Get()))) return;

  std::unique_lock<std::mutex> held(lock_);
  const unsigned long number = ++requests_;
  request_ = Exchange{number, std::move(request)};
  if (!PostMessageW(window_, message_, 0, 0)) {
    request_.reset();
    return;
  }
  // An answer to an earlier request that came too late is not this one's.
  const auto mine = [&] { return reply_ && reply_->number == number; };
  answered_.wait_for(held, kAnswerWait,
                     [&] { return mine() || WaitForSingleObject(stop_.Get(), 0) != WAIT_TIMEOUT; });
  request_.reset();
  if (!mine()) return;
  const std::string reply = std::move(reply_->text);
  reply_.reset();
  held.unlock();

  operation = OVERLAPPED{};
  operation.hEvent = io_.Get();
  ResetEvent(io_.Get());
  DWORD written = 0;
  if (!WriteFile(pipe_.Get(), reply.data(), static_cast<DWORD>(reply.size()), &written,
                 &operation) &&
      (GetLastError() != ERROR_IO_PENDING || !Complete(operation, written, kWriteWaitMs)))
    return;
  // Disconnecting throws away what the client has not read yet: wait until it closes its end
  // (the read then fails), for a while.
  operation = OVERLAPPED{};
  operation.hEvent = io_.Get();
  ResetEvent(io_.Get());
  char rest = 0;
  if (!ReadFile(pipe_.Get(), &rest, 1, &read, &operation) && GetLastError() == ERROR_IO_PENDING)
    Complete(operation, read, kWriteWaitMs);
}

}  // namespace halcyra
