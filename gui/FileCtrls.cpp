// Drive selector, folder list and file list over a combo box and two list
// boxes; the folder list keeps the full path of every item it shows.
#include "gui/FileCtrls.h"

#include <algorithm>

#include "gui/Dpi.h"
#include "gui/Form.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace gui {

namespace {
bool IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A folder path without its trailing "\", except a drive root ("C:\").
std::string Canonical(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  if (path.size() == 2 && path[1] == ':') path += '\\';
  return path;
}

std::string Join(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

// Names in the folder: folders (wantFolders) or files matching mask; hidden
// and system entries left out; sorted ignoring case.
std::vector<std::string> ListNames(const std::string& dir, const std::string& mask,
                                   bool wantFolders) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(Join(dir, mask).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = fd.cFileName;
    bool folder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    if (name == "." || name == ".." || folder != wantFolders) continue;
    if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    names.push_back(name);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return util::LowerCase(a) < util::LowerCase(b);
  });
  return names;
}

// The text of item i of a combo box or list box, read with the control's own
// pair of length and text messages (both answer -1, CB_ERR or LB_ERR, for an
// index that is not there); empty for such an index.
std::string ItemText(HWND hwnd, UINT lengthMsg, UINT textMsg, int i) {
  const LRESULT len = SendMessageA(hwnd, lengthMsg, i, 0);
  if (len < 0) return std::string();
  std::string s(len + 1, '\0');
  SendMessageA(hwnd, textMsg, i, reinterpret_cast<LPARAM>(s.data()));
  s.resize(len);
  return s;
}
}  // namespace

// --- TDriveCombo ------------------------------------------------------------

void TDriveCombo::Place(int dpi) {
  TControl::Place(dpi);
  if (def_.height < 100) height_ = Scale(200, dpi);  // the height of the open list
}

void TDriveCombo::Create(HWND parent, int id) {
  CreateWin("COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, parent, id, "");
  char buf[512];
  DWORD n = GetLogicalDriveStringsA(sizeof(buf), buf);
  for (const char* p = buf; n > 0 && n < sizeof(buf) && *p; p += strlen(p) + 1) {
    std::string root = p;
    std::string item = util::LowerCase(root.substr(0, 2));
    SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
}

int TDriveCombo::Count() const { return static_cast<int>(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0)); }

std::string TDriveCombo::Item(int i) const {
  return ItemText(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, i);
}

char TDriveCombo::Drive() const {
  LRESULT i = SendMessageA(hwnd_, CB_GETCURSEL, 0, 0);
  return i == CB_ERR ? 0 : Item(static_cast<int>(i))[0];
}

void TDriveCombo::ShowDrive(char letter) {
  letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  for (int i = 0; i < Count(); ++i)
    if (Item(i)[0] == letter) SendMessageA(hwnd_, CB_SETCURSEL, i, 0);
}

void TDriveCombo::SetDrive(char letter) {
  ShowDrive(letter);
  if (dirList_) dirList_->SetDrive(letter);
  if (OnChange) OnChange();
}

void TDriveCombo::Command(int code) {
  if (code != CBN_SELCHANGE) return;
  if (char d = Drive()) SetDrive(d);
}

void TDriveCombo::SetDirList(TDirList* list) {
  dirList_ = list;
  if (list) {
    list->driveCombo_ = this;
    if (!list->Directory().empty()) ShowDrive(list->Directory()[0]);
  }
}

// --- TDirList ---------------------------------------------------------------

void TDirList::Create(HWND parent, int id) {
  CreateWin("LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
            WS_EX_CLIENTEDGE, parent, id, "");
}

bool TDirList::SetDirectory(const std::string& path) {
  std::string dir = Canonical(util::FullPath(path));
  if (!IsFolder(dir)) return false;
  SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
  paths_.clear();
  auto add = [&](const std::string& text, const std::string& full, int level) {
    std::string item = std::string(static_cast<size_t>(level) * 2, ' ') + text;
    SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    paths_.push_back(full);
  };
  // The chain from the root down to the folder, then its subfolders.
  std::string root = dir.substr(0, 3);
  add(root, root, 0);
  int level = 0;
  for (size_t start = 3; start < dir.size();) {
    size_t end = dir.find('\\', start);
    if (end == std::string::npos) end = dir.size();
    add(dir.substr(start, end - start), dir.substr(0, end), ++level);
    start = end + 1;
  }
  int current = Count() - 1;
  for (const auto& name : ListNames(dir, "*", true)) add(name, Join(dir, name), level + 1);
  SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
  if (driveCombo_) driveCombo_->ShowDrive(dir[0]);
  Select(current);
  return true;
}

void TDirList::SetDrive(char letter) {
  std::string drive = std::string(1, letter) + ":";
  if (!SetDirectory(util::FullPath(drive))) SetDirectory(drive + "\\");
}

int TDirList::IndexOf(const std::string& path) const {
  for (int i = 0; i < Count(); ++i)
    if (util::SameText(paths_[i], Canonical(path))) return i;
  return -1;
}

void TDirList::Select(int index) {
  if (index < 0 || index >= Count()) return;
  dir_ = paths_[index];
  SendMessageA(hwnd_, LB_SETCURSEL, index, 0);
  if (fileList_) fileList_->SetDirectory(dir_);
  if (OnChange) OnChange();
}

void TDirList::Command(int code) {
  int i = static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0));
  if (i < 0 || i >= Count()) return;
  if (code == LBN_SELCHANGE) Select(i);
  else if (code == LBN_DBLCLK) SetDirectory(paths_[i]);
}

// --- TFileList --------------------------------------------------------------

void TFileList::Create(HWND parent, int id) {
  CreateWin("LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, parent,
            id, "");
}

void TFileList::SetDirectory(const std::string& dir) {
  dir_ = dir;
  SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
  for (const auto& name : ListNames(dir, mask_, false))
    SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void TFileList::SetMask(const std::string& mask) {
  mask_ = mask;
  if (!dir_.empty()) SetDirectory(dir_);
}

int TFileList::Count() const { return static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

std::string TFileList::Item(int i) const { return ItemText(hwnd_, LB_GETTEXTLEN, LB_GETTEXT, i); }

}  // namespace gui
