// The un-installer's line to Program Manager's DDE interface: one conversation
// carries one execute command. The interface is a seam so that the removal can
// be run against another service, or a recording stand-in, in tests.
#pragma once
#include <string>

#include "util/Handle.h"

namespace uninstall {

// Service and topic under which the Windows shell answers Program Manager's
// DDE commands.
inline const std::string ProgmanService = "PROGMAN";

class TProgmanLink {
 public:
  virtual ~TProgmanLink() = default;
  // Opens the conversation; false when no server answered.
  virtual bool Open() = 0;
  // Sends one execute command without waiting for the server to carry it out;
  // false when it could not be sent. May throw.
  virtual bool Execute(const std::string& command) = 0;
  // Ends the conversation; harmless when none is open.
  virtual void Close() = 0;
};

// Owners of a DDEML instance id and of a conversation (HCONV, a pointer
// type; ddeml.h stays out of this header). Close is in ProgmanLink.cpp.
struct DdeInstanceTraits {
  using Type = unsigned long;
  static unsigned long Invalid() { return 0; }
  static void Close(unsigned long instance);
};
struct DdeConversationTraits {
  using Type = void*;
  static void* Invalid() { return nullptr; }
  static void Close(void* conversation);
};

// The real conversation over DDEML, as an ANSI client only.
class TDdeClientConv final : public TProgmanLink {
 public:
  explicit TDdeClientConv(std::string service = ProgmanService, std::string topic = ProgmanService);
  ~TDdeClientConv() override;
  TDdeClientConv(const TDdeClientConv&) = delete;
  TDdeClientConv& operator=(const TDdeClientConv&) = delete;

  bool Open() override;
  // The command travels as ANSI text with its terminating NUL (the length
  // counts the NUL), asynchronously (TIMEOUT_ASYNC).
  bool Execute(const std::string& command) override;
  void Close() override;

 private:
  std::string service_, topic_;
  // The conversation is declared last so that it ends before its instance.
  util::UniqueHandle<DdeInstanceTraits> instance_;
  util::UniqueHandle<DdeConversationTraits> conv_;
};

}  // namespace uninstall
