// Program Manager's DDE interface through DDEML: initialise as a client,
// connect to service and topic, one asynchronous execute, disconnect.
#include "uninstall/ProgmanLink.h"

#include <vector>

#include "util/Win.h"
// After windows.h; WIN32_LEAN_AND_MEAN leaves it out.
#include <ddeml.h>

namespace uninstall {

namespace {

// A client-only instance is told of nothing it must answer.
HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

}  // namespace

void DdeInstanceTraits::Close(unsigned long instance) { DdeUninitialize(instance); }
void DdeConversationTraits::Close(void* conversation) {
  DdeDisconnect(static_cast<HCONV>(conversation));
}

TDdeClientConv::TDdeClientConv(std::string service, std::string topic)
    : service_(std::move(service)), topic_(std::move(topic)) {}

TDdeClientConv::~TDdeClientConv() { Close(); }

bool TDdeClientConv::Open() {
  Close();
  DWORD instance = 0;
  if (DdeInitializeA(&instance, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
    return false;
  instance_.Reset(instance);
  HSZ service = DdeCreateStringHandleA(instance, service_.c_str(), CP_WINANSI);
  HSZ topic = DdeCreateStringHandleA(instance, topic_.c_str(), CP_WINANSI);
  if (service && topic) conv_.Reset(DdeConnect(instance, service, topic, nullptr));
  if (service) DdeFreeStringHandle(instance, service);
  if (topic) DdeFreeStringHandle(instance, topic);
  if (!conv_) Close();
  return conv_.Valid();
}

bool TDdeClientConv::Execute(const std::string& command) {
  if (!conv_) return false;
  std::vector<BYTE> data(command.begin(), command.end());
  data.push_back(0);
  DWORD transaction = 0;
  HDDEDATA sent = DdeClientTransaction(data.data(), static_cast<DWORD>(data.size()),
                                       static_cast<HCONV>(conv_.Get()), nullptr, CF_TEXT,
                                       XTYP_EXECUTE, TIMEOUT_ASYNC, &transaction);
  return sent != nullptr;
}

void TDdeClientConv::Close() {
  conv_.Reset();
  instance_.Reset();
}

}  // namespace uninstall
