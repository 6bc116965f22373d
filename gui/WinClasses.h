// Internal to gui/: our window classes and their procedures.
#pragma once
#include "util/Win.h"

namespace gui {

inline constexpr char kFormClass[] = "LfForm";
inline constexpr char kContainerClass[] = "LfContainer";
inline constexpr char kTextBoxClass[] = "LfTextBox";

// Registers the classes once (and the common controls).
void RegisterWindowClasses();

// Procedures of the control classes (Control.cpp).
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK TextBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace gui
