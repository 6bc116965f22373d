// The linked drive selector, folder list and file list: choosing a drive
// switches the folder list to that drive's current folder; the folder list
// shows the chain of folders down to the current one and its subfolders
// (selecting an item makes it the current folder, double-clicking opens it);
// the file list shows the files of the current folder.
#pragma once
#include <string>
#include <vector>

#include "gui/Control.h"

namespace gui {

class TDirList;
class TFileList;

class TDriveCombo : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  void Place(int dpi) override;
  void Command(int code) override;
  bool IsField() const override { return true; }
  char Drive() const;  // lower-case letter, 0 when none is selected
  void SetDrive(char letter);  // switches the linked folder list too
  int Count() const;
  std::string Item(int i) const;
  void SetDirList(TDirList* list);  // links both ways
  std::function<void()> OnChange;

 private:
  friend class TDirList;
  void ShowDrive(char letter);  // selects the item only
  TDirList* dirList_ = nullptr;
};

class TDirList : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  void Command(int code) override;
  bool IsField() const override { return true; }
  // The current folder: a full path without a trailing "\" (a root keeps it).
  const std::string& Directory() const { return dir_; }
  // Opens the folder: rebuilds the list; false (nothing changes) when it does
  // not exist.
  bool SetDirectory(const std::string& path);
  // Opens the drive's current folder.
  void SetDrive(char letter);
  int Count() const { return static_cast<int>(paths_.size()); }
  const std::string& ItemPath(int i) const { return paths_.at(i); }
  int IndexOf(const std::string& path) const;  // ignoring case; -1
  void SetFileList(TFileList* list) { fileList_ = list; }
  std::function<void()> OnChange;

 private:
  friend class TDriveCombo;
  void Select(int index);  // makes the item the current folder
  std::string dir_;
  std::vector<std::string> paths_;
  TFileList* fileList_ = nullptr;
  TDriveCombo* driveCombo_ = nullptr;
};

class TFileList : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  bool IsField() const override { return true; }
  // Lists the files of the folder matching the mask (hidden and system files
  // excluded), sorted.
  void SetDirectory(const std::string& dir);
  const std::string& Directory() const { return dir_; }
  void SetMask(const std::string& mask);
  int Count() const;
  std::string Item(int i) const;

 private:
  std::string dir_, mask_ = "*.*";
};

}  // namespace gui
