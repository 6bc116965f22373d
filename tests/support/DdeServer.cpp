// The test DDE server: DDEML as an ANSI server on a thread of its own.
#include "tests/support/DdeServer.h"

#include "util/Win.h"
// After windows.h; WIN32_LEAN_AND_MEAN leaves it out.
#include <ddeml.h>

namespace testsupport {

namespace {
// DDEML callbacks carry no user pointer; one server runs at a time.
TDdeServer* g_server = nullptr;
}  // namespace

struct TDdeServerAccess {
  static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data,
                                    ULONG_PTR, ULONG_PTR) {
    TDdeServer* s = g_server;
    if (!s) return nullptr;
    if (type == XTYP_CONNECT) {
      char name[256] = {};
      DdeQueryStringA(s->instance_, topic, name, sizeof name, CP_WINANSI);
      return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(s->service_ == name));
    }
    if (type == XTYP_EXECUTE) {
      DWORD size = DdeGetData(data, nullptr, 0, 0);
      std::string bytes(size, '\0');
      if (size) DdeGetData(data, reinterpret_cast<BYTE*>(bytes.data()), size, 0);
      s->Record(bytes);
      return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
    }
    return nullptr;
  }
};

TDdeServer::TDdeServer(std::string service) : service_(std::move(service)) {
  started_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  arrived_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g_server = this;
  thread_ = std::thread([this] { Run(); });
  WaitForSingleObject(started_, 10000);
}

TDdeServer::~TDdeServer() {
  if (threadId_) PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  thread_.join();
  g_server = nullptr;
  CloseHandle(started_);
  CloseHandle(arrived_);
}

void TDdeServer::Run() {
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its queue
  threadId_ = GetCurrentThreadId();
  DWORD instance = 0;
  HSZ service = nullptr;
  if (DdeInitializeA(&instance, TDdeServerAccess::Callback,
                     APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_REQUESTS |
                         CBF_SKIP_ALLNOTIFICATIONS,
                     0) == DMLERR_NO_ERROR) {
    instance_ = instance;
    service = DdeCreateStringHandleA(instance, service_.c_str(), CP_WINANSI);
    ready_ = service && DdeNameService(instance, service, nullptr, DNS_REGISTER);
  }
  SetEvent(started_);
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (instance) {
    if (service) {
      DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
      DdeFreeStringHandle(instance, service);
    }
    DdeUninitialize(instance);
  }
}

bool TDdeServer::Record(const std::string& command) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    commands_.push_back(command);
  }
  SetEvent(arrived_);
  return true;
}

std::vector<std::string> TDdeServer::WaitForCommands(size_t n) {
  for (int i = 0; i < 100; ++i) {
    {
      std::lock_guard<std::mutex> lock(mu_);
      if (commands_.size() >= n) return commands_;
    }
    WaitForSingleObject(arrived_, 100);
  }
  std::lock_guard<std::mutex> lock(mu_);
  return commands_;
}

}  // namespace testsupport
