// Internal to gui/: our window classes and their procedures.
#pragma once
#include "util/Win.h"

namespace gui {

inline constexpr char kFormClass[] = "LfForm";
inline constexpr char kContainerClass[] = "LfContainer";
inline constexpr char kApplicationClass[] = "LfApplication";

// The object behind one of our windows: on WM_NCCREATE the pointer passed to
// CreateWindowEx is stored in the window's user data; every message reads it
// back (null before creation has stored it).
template <class T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Registers the classes once (the common controls come with the first
// progress bar).
void RegisterWindowClasses();

// Procedures of the control classes (Control.cpp).
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace gui
