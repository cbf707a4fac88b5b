// The launcher's entry narrows the library search before anything else; a
// library planted beside the executable is then no longer found by name.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/library_search_win.h"

namespace {

// The same process before and after: the planted library is unloaded again
// in between, so the second load searches afresh.
TEST(LibrarySearchTest, APlantedLibraryIsNotFoundOnceTheSearchIsRestricted) {
  constexpr wchar_t kPlanted[] = L"tarrow-planted.dll";
  HMODULE before = LoadLibraryW(kPlanted);
  ASSERT_NE(before, nullptr) << "the planted library is not beside the tests";
  FreeLibrary(before);
  ASSERT_EQ(GetModuleHandleW(kPlanted), nullptr);

  EXPECT_TRUE(RestrictLibrarySearch());
  HMODULE after = LoadLibraryW(kPlanted);
  EXPECT_EQ(after, nullptr) << "the planted library was loaded from beside the executable";
  if (after != nullptr) FreeLibrary(after);
  HMODULE system = LoadLibraryW(L"oleacc.dll");
  EXPECT_NE(system, nullptr) << "a system library is no longer found";
  if (system != nullptr) FreeLibrary(system);
}

}  // namespace
