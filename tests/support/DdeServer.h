// A DDE server for tests: answers one service (topic = service name) on its
// own thread with its own message loop, and records every execute command as
// the exact bytes received.
#pragma once
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class TDdeServer {
 public:
  explicit TDdeServer(std::string service);
  ~TDdeServer();
  TDdeServer(const TDdeServer&) = delete;
  TDdeServer& operator=(const TDdeServer&) = delete;

  // False when the service could not be registered.
  bool Ready() const { return ready_; }
  // Waits (bounded) until at least n commands arrived; returns them all.
  std::vector<std::string> WaitForCommands(size_t n);

 private:
  void Run();
  bool Record(const std::string& command);

  std::string service_;
  std::thread thread_;
  unsigned long threadId_ = 0;
  unsigned long instance_ = 0;
  bool ready_ = false;
  std::mutex mu_;
  std::vector<std::string> commands_;
  void* started_ = nullptr;  // event: registration done (or failed)
  void* arrived_ = nullptr;  // event: a command arrived
  friend struct TDdeServerAccess;
};

}  // namespace testsupport
