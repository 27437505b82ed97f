// The tray program's end of HalcyraCmd's channel: a named pipe of this user and session, served
// by a thread that only moves bytes. Each request is handed to the window's thread by a posted
// message and answered there, so all of the program's state stays on that one thread.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "core/peer_identity.h"
#include "platform/win32/handle_win.h"

namespace halcyra {

class OneOffServer {
 public:
  // Posts `message` to `window` for each request from a trusted client.
  OneOffServer(HWND window, UINT message);
  ~OneOffServer();
  OneOffServer(const OneOffServer&) = delete;
  OneOffServer& operator=(const OneOffServer&) = delete;

  // Empty while serving; otherwise why the channel could not be opened (another program
  // created the pipe's name first, or this process's identity could not be read).
  const std::string& Problem() const { return problem_; }

  // On the window's thread, for each posted message: the waiting request, if any, answered.
  void Answer(const std::function<std::string(std::string_view request)>& answer);

 private:
  void Serve();
  // One connected client: its request read, checked and answered, or dropped.
  void Converse();
  // Waits for an overlapped operation on the pipe; false when it failed, took too long or the
  // server stops.
  bool Complete(OVERLAPPED& operation, DWORD& transferred, DWORD timeoutMs);

  HWND window_;
  UINT message_;
  std::string problem_;
  PeerIdentity self_;
  UniqueHandle pipe_;
  UniqueHandle stop_;
  UniqueHandle io_;
  // A request or its answer, numbered so that a late answer finds no later request.
  struct Exchange {
    unsigned long number = 0;
    std::string text;
  };
  std::mutex lock_;
  std::condition_variable answered_;
  // The request the window's thread is to answer, and its answer; guarded by lock_.
  unsigned long requests_ = 0;
  std::optional<Exchange> request_;
  std::optional<Exchange> reply_;
  std::thread thread_;
};

}  // namespace halcyra
