#pragma once
// Step words as the updater sends them, turned into the canonical keys of the
// step table.
#include <string>
#include <string_view>

// Folds the word (ASCII letters and digits only), upper-cases it and maps the
// aliases: "connect" -> "LINK", "done" -> "READY", "cancel" -> "STOP", ...
// An empty result gives "SCAN"; any other word stands for itself. A
// canonical key maps to itself.
std::wstring NormalizeStepKey(std::wstring_view word);
