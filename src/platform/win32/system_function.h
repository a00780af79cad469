// Functions of system DLLs that are loaded the first time they are needed, so
// the program starts without them and without what they pull in (the colour
// dialog's DLL brings the printing ones).
#pragma once

#include <windows.h>

namespace win32 {

// The function, from the DLL in the system folder; null when the DLL or the
// function is missing (the caller then does without, as on a refusal).
template <typename Function>
Function* systemFunction(const wchar_t* dll, const char* name) {
  HMODULE module = GetModuleHandleW(dll);
  if (!module) module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!module) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace win32
