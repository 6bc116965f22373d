// The setup steps that touch the product's message store: reading the
// address and host back from the default message, and writing the default
// message and article templates.
#include "app/Version.h"
#include "headers/HeaderLines.h"
#include "setup/InstallSteps.h"
#include "store/FileMan1.h"
#include "util/FileStream.h"
#include "util/Message.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace setup {

namespace {

// The header lines both templates begin with.
void AddCommonHeader(util::TStringList& lines, const TInstallState& state) {
  lines.Add("Fcc: outbox");
  lines.Add("Host: " + state.Host);
  lines.Add("From: " + state.Address);
  lines.Add("Chain: *,*,*,*; copies=1");
}

bool StoreTemplate(const std::string& key, const util::TStringList& lines,
                   const std::string& storePath, const std::string& errorText) {
  if (store::WriteStoreLines(key, &lines, storePath) == 0) return true;
  util::ShowMessage(errorText, "Setup Error", util::MsgButtons::Ok, util::MsgOwner::Main());
  return false;
}

}  // namespace

void ReadStoredDefaults(TInstallState& state) {
  const std::string storePath = state.Home() + app::StoreFileName;
  if (!util::FileExists(storePath)) return;
  util::TStringList message;
  store::ReadStoreLines(message, app::DefaultMessageKey, storePath);
  headers::THeaderLines header(&message);
  state.Address = header.GetFieldValue("From: ");
  state.Host = header.GetFieldValue("Host: ");
}

bool StoreDefaultTemplates(const TInstallState& state) {
  const std::string home = state.Home();
  const std::string storePath = home + app::StoreFileName;
  // An encrypted store cannot be opened; it is left alone.
  if (util::FileExists(home + app::EncryptedStoreFileName) && !util::FileExists(storePath))
    return true;

  util::TStringList message;
  AddCommonHeader(message, state);
  message.Add("To: ");
  message.Add("Subject: ");
  message.Add("");
  message.Add(store::GetInitValue("Cutmarks", "~~"));
  if (!StoreTemplate(app::DefaultMessageKey, message, storePath,
                     "Error storing default message!"))
    return false;

  util::TStringList article;
  AddCommonHeader(article, state);
  article.Add("To: " + NewsGatewayAddress);
  article.Add("X-No-Archive: Yes");
  article.Add("Newsgroups: ");
  article.Add("Subject: ");
  article.Add("");
  article.Add("~~");
  return StoreTemplate(app::DefaultArticleKey, article, storePath,
                       "Error storing default article!");
}

}  // namespace setup
