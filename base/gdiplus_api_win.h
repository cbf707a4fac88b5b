#pragma once
// The GDI+ headers, usable with NOMINMAX (they expect min and max in scope).
// Shell files only.
#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
