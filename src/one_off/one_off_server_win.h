// The tray program's end of HalcyraCmd's channel: a named pipe of this user and session, served
// on the window's thread without a thread of its own (a thread costs a tray program that mostly
// waits more memory than anything else it holds). Its I/O is overlapped: the main loop waits on
// its event beside the messages, and the tick moves it on while a modal loop (a message box, a
// menu, a modal window) pumps instead of the main loop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "core/peer_identity.h"
#include "platform/win32/handle_win.h"

namespace halcyra {

class OneOffServer {
 public:
  using Answer = std::function<std::string(std::string_view request)>;

  // `answer` runs on the window's thread for each request from a trusted client.
  explicit OneOffServer(Answer answer);
  ~OneOffServer();
  OneOffServer(const OneOffServer&) = delete;
  OneOffServer& operator=(const OneOffServer&) = delete;

  // Empty while serving; otherwise why the channel could not be opened (another program
  // created the pipe's name first, or this process's identity could not be read).
  const std::string& Problem() const { return problem_; }

  // What the main loop waits on beside its messages: signalled when the pipe's operation ended;
  // null when nothing is served.
  HANDLE Event() const { return pipe_ ? io_.Get() : nullptr; }
  // How long the main loop may wait before a client's time is up; INFINITE while no client is
  // connected.
  DWORD WaitMs() const;
  // Moves the conversation on as far as it goes without waiting. Safe to call at any time, also
  // from a loop that runs inside an answer.
  void Serve();

 private:
  // What the pipe waits for: a client, its request, the answer's delivery, the client's close,
  // or, after a failure of the pipe itself, a pause before it listens again.
  enum class Step { Connect, Read, Write, Close, Pause };

  bool Ready() const;
  // Takes the outcome of the step in hand (or its time being up) and starts the next.
  void Advance();
  // Disconnects whoever is connected and waits for the next client.
  void Listen();
  // A client is connected: another session's is dropped, the request read.
  void Connected();
  // The request is in: a trusted client gets its answer.
  void Reply(DWORD length);
  // The answer is delivered: the client closes its end.
  void AwaitClose();
  // The operation for a new step, its event reset.
  OVERLAPPED* Fresh();
  // `step` begins with the operation just issued (`started` is what the call returned); a
  // client that does not finish it within `timeoutMs` is dropped.
  void Issue(Step step, DWORD timeoutMs, BOOL started);
  // Waits until the operation in flight, if any, has let go of the buffers; true when it had
  // completed after all.
  bool CancelOperation(DWORD& transferred);

  Answer answer_;
  std::string problem_;
  PeerIdentity self_;
  UniqueHandle io_;
  UniqueHandle pipe_;
  OVERLAPPED operation_{};
  // An operation the system still holds; otherwise `settled_` is the outcome of the last call.
  bool inFlight_ = false;
  bool settled_ = false;
  Step step_ = Step::Connect;
  ULONGLONG deadline_ = 0;
  // The request, then the answer, in the buffer the operation in flight reads or writes.
  std::string buffer_;
  char rest_ = 0;
  bool serving_ = false;
};

}  // namespace halcyra
