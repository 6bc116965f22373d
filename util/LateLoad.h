// Functions of system DLLs that only a late step needs (the shell's folder
// functions, the shell link object, accessibility), looked up on first use:
// a DLL in the import table is mapped and initialised before the first
// window, whether the run ever uses it or not.
#pragma once
#include "util/Win.h"

namespace util {

// The function name of dll, loading the DLL on first use (it stays loaded);
// nullptr when either is missing.
template <class F>
F LateProc(const char* dll, const char* name) {
  HMODULE module = GetModuleHandleA(dll);
  if (!module) module = LoadLibraryA(dll);
  if (!module) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace util
