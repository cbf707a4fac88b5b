// tarrow-brand.exe: puts a product's brand into a copy of the launcher, so a
// product team brands it without compiling.
//
//   tarrow-brand.exe BRAND-FILE IN.exe OUT.exe
//
// Reads the brand file (state/brand.h) and the pictures and the icon it
// names (relative to the brand file's folder), checks that IN is a launcher
// (its version block's OriginalFilename is tarrow-launcher.exe) without a
// brand yet, and writes OUT: IN with these resources added, US English like
// the launcher's own, which the launcher reads at start:
//
//   RCDATA 220       the brand as the launcher reads it (BrandResourceText)
//   RCDATA 221, 222  the 1x and the 2x picture's PNG bytes (222 only when given)
//   GROUP_ICON 100   the icon, its images as ICON 1001, 1002, ... (only when
//                    given); it sorts before the launcher's groups 101-103,
//                    so Explorer, the taskbar and Alt+Tab show it
//   VERSION 1        ProductName and FileDescription are the brand's name,
//                    everything else as IN has it
//
// Resources are only ever added (Wine accepts removals but does not carry
// them out), so a launcher that carries a brand is refused: a second brand
// would keep whatever of the first it does not replace. The resources go
// into a temporary copy beside OUT, which then replaces OUT; IN is only read.
// Any problem is one line on standard error, "tarrow-brand: FILE: ...", with
// exit code 1 (2 for a bad command line); OUT is then left as it was and no
// temporary copy remains. An unknown key in the brand file is a warning on
// standard error.
#include <windows.h>

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.h"
#include "base/win_owners_win.h"
#include "channel/utf8.h"
#include "state/brand.h"
#include "tools/brand/brand_resources.h"
#include "ui/paint/asset_paths.h"

namespace {

constexpr int kProblemExitCode = 1;
constexpr int kUsageExitCode = 2;
constexpr uint64_t kBrandFileBytesLimit = 1024 * 1024;
// Files the brand names are read whole up to this; the asset caps are smaller.
constexpr uint64_t kReadBytesLimit = 64 * 1024 * 1024;
constexpr WORD kLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr WORD kBrandTextId = 220;
constexpr WORD kPictureId = 221;
constexpr WORD kPicture2xId = 222;
constexpr WORD kIconGroupId = 100;
constexpr uint16_t kFirstIconImageId = 1001;
constexpr WORD kVersionId = 1;
constexpr std::u16string_view kStringTable = u"040904B0";
constexpr std::u16string_view kLauncherFileName = u"tarrow-launcher.exe";

// One line on a standard stream: UTF-16 to a console, UTF-8 anywhere else.
void PrintLine(DWORD stream, const std::string& utf8) {
  HANDLE handle = GetStdHandle(stream);
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = Utf8ToWide(utf8 + "\n");
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    const std::string line = utf8 + "\n";
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
}

// "tarrow-brand: FILE: TEXT" on standard error; returns the exit code.
int Report(const std::wstring& file, const std::string& text, int exitCode = kProblemExitCode) {
  PrintLine(STD_ERROR_HANDLE, "tarrow-brand: " + WideToUtf8(file) + ": " + text);
  return exitCode;
}

// The system's words for an error code, on one line without its final stop.
std::string SystemWords(DWORD code) {
  wchar_t* words = nullptr;
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
  std::wstring text = n > 0 && words != nullptr ? TrimBlank(std::wstring_view(words, n)) : std::wstring();
  if (words != nullptr) LocalFree(words);
  if (!text.empty() && text.back() == L'.') text.pop_back();
  return text.empty() ? "system error " + std::to_string(code) : WideToUtf8(text);
}

struct FileBytes {
  std::optional<std::string> bytes;
  std::string problem;  // when there are no bytes
};

FileBytes ReadWholeFile(const std::wstring& path, uint64_t limit) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return {std::nullopt, "cannot be read: " + SystemWords(GetLastError())};
  FileBytes result;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    result.problem = "cannot be read: " + SystemWords(GetLastError());
  } else if (static_cast<uint64_t>(size.QuadPart) > limit) {
    result.problem = "is " + std::to_string(size.QuadPart) + " bytes; at most " + std::to_string(limit) + " are read";
  } else {
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())) {
      result.problem = "cannot be read: " + SystemWords(GetLastError());
    } else {
      result.bytes = std::move(bytes);
    }
  }
  return result;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  const DWORD written = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(written < n ? written : 0);
  return full.empty() ? path : full;
}

// What the brand carries, every file read and checked.
struct BrandContents {
  Brand brand;
  std::string picture;
  std::string picture2x;
  std::optional<IconResources> icon;
};

// The file a brand key names, read into `bytes`; else what is wrong with it.
// Either way `where` leads the brand file's problem with that file:
// `line 6: picture: "art/wide.png" `.
std::string ReadNamedFile(const std::wstring& brandFile, const BrandReading& reading, const char* key,
                          const std::wstring& written, std::string& bytes, std::string& where) {
  where = "line " + std::to_string(reading.LineOf(key)) + ": " + key + ": \"" +
          WideToUtf8(written) + "\" ";
  FileBytes file = ReadWholeFile(JoinAssetPath(ParentDirectory(brandFile), written), kReadBytesLimit);
  if (!file.bytes) return where + file.problem;
  bytes = std::move(*file.bytes);
  return {};
}

// Reads the brand file and everything it names, printing its warnings;
// returns what is wrong with it, empty when nothing is.
std::string ReadBrandContents(const std::wstring& brandFile, BrandContents& contents) {
  const FileBytes text = ReadWholeFile(brandFile, kBrandFileBytesLimit);
  if (!text.bytes) return text.problem;
  const BrandReading reading = ReadBrand(*text.bytes);
  for (const BrandProblem& warning : reading.warnings) {
    PrintLine(STD_ERROR_HANDLE,
              "tarrow-brand: warning: " + WideToUtf8(brandFile) + ": " + DescribeBrandProblem(warning));
  }
  if (!reading.errors.empty()) return DescribeBrandProblem(reading.errors.front());
  contents.brand = reading.brand;

  const struct {
    const char* key;
    const std::wstring& path;
    std::string& bytes;
    uint32_t width, height;
  } pictures[] = {{"picture", reading.brand.picture, contents.picture, 800, 400},
                  {"picture@2x", reading.brand.picture2x, contents.picture2x, 1600, 800}};
  std::string where;
  for (const auto& p : pictures) {
    if (p.path.empty()) continue;
    if (std::string problem = ReadNamedFile(brandFile, reading, p.key, p.path, p.bytes, where); !problem.empty()) {
      return problem;
    }
    if (const std::string problem = PictureProblem(p.bytes, p.width, p.height); !problem.empty()) {
      return where + problem;
    }
  }
  if (!reading.brand.icon.empty()) {
    std::string bytes;
    if (std::string problem = ReadNamedFile(brandFile, reading, "icon", reading.brand.icon, bytes, where);
        !problem.empty()) {
      return problem;
    }
    IconReading icon = ReadIconFile(bytes, kFirstIconImageId);
    if (!icon.icon) return where + icon.problem;
    contents.icon = std::move(icon.icon);
  }
  return {};
}

// One US English resource of a module loaded as a data file.
std::optional<std::string> ResourceBytes(HMODULE module, const wchar_t* type, WORD id) {
  HRSRC info = FindResourceExW(module, type, MAKEINTRESOURCEW(id), kLanguage);
  const void* bytes = info != nullptr ? LockResource(LoadResource(module, info)) : nullptr;
  if (bytes == nullptr) return std::nullopt;
  return std::string(static_cast<const char*>(bytes), SizeofResource(module, info));
}

// IN's version block with the brand's name in it, when IN is a launcher
// without a brand; else what is wrong with IN.
std::string BrandedVersionBlock(const std::wstring& in, const Brand& brand, std::string& block) {
  std::optional<std::string> version;
  bool branded = false;
  {
    const UniqueModule module(
        LoadLibraryExW(in.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (module == nullptr) return "is not a program file, so it is not a launcher: " + SystemWords(GetLastError());
    version = ResourceBytes(module.get(), RT_VERSION, kVersionId);
    branded = ResourceBytes(module.get(), RT_RCDATA, kBrandTextId).has_value();
  }

  std::optional<VersionNode> root = version ? ParseVersionBlock(*version) : std::nullopt;
  VersionNode* table = root ? FindStringTable(*root, kStringTable) : nullptr;
  const std::optional<std::u16string> original = table ? TableString(*table, u"OriginalFilename") : std::nullopt;
  if (!original) return "has no version block naming its file, so it is not a launcher";
  const std::wstring name(original->begin(), original->end());
  if (!EqualsIgnoringAsciiCase(name, std::wstring(kLauncherFileName.begin(), kLauncherFileName.end()))) {
    return "its version block names \"" + WideToUtf8(name) + "\", so it is not a launcher";
  }
  if (branded) return "already carries a brand (RCDATA 220); brand the launcher as built";

  const std::u16string productName(brand.name.begin(), brand.name.end());
  SetTableString(*table, u"ProductName", productName);
  SetTableString(*table, u"FileDescription", productName);
  const std::optional<std::string> written = WriteVersionBlock(*root);
  if (!written) return "its version block cannot hold the brand's name";
  block = *written;
  return {};
}

// A file that is deleted when this goes, unless kept.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!kept_) DeleteFileW(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::wstring& path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::wstring path_;
  bool kept_ = false;
};

// A BeginUpdateResourceW session, discarded unless committed.
class ResourceUpdate {
 public:
  explicit ResourceUpdate(const std::wstring& file) : update_(BeginUpdateResourceW(file.c_str(), FALSE)) {
    if (update_ == nullptr) error_ = GetLastError();
  }
  ~ResourceUpdate() {
    if (update_ != nullptr) EndUpdateResourceW(update_, TRUE);
  }
  ResourceUpdate(const ResourceUpdate&) = delete;
  ResourceUpdate& operator=(const ResourceUpdate&) = delete;

  void Add(const wchar_t* type, WORD id, const std::string& bytes) {
    if (update_ == nullptr || error_ != 0) return;
    if (!UpdateResourceW(update_, type, MAKEINTRESOURCEW(id), kLanguage, const_cast<char*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()))) {
      error_ = GetLastError();
    }
  }
  // Writes what was added into the file; false when anything failed.
  bool Commit() {
    if (update_ == nullptr || error_ != 0) return false;
    const bool written = EndUpdateResourceW(std::exchange(update_, nullptr), FALSE);
    if (!written) error_ = GetLastError();
    return written;
  }
  DWORD error() const { return error_; }

 private:
  HANDLE update_;
  DWORD error_ = 0;
};

int Run(int argc, wchar_t** argv) {
  if (argc != 4) {
    PrintLine(STD_ERROR_HANDLE, "usage: tarrow-brand.exe BRAND-FILE IN.exe OUT.exe");
    return kUsageExitCode;
  }
  const std::wstring brandFile = argv[1];
  const std::wstring in = argv[2];
  const std::wstring out = argv[3];
  if (EqualsIgnoringAsciiCase(FullPath(in), FullPath(out))) {
    return Report(out, "is IN itself; the launcher is copied, never changed", kUsageExitCode);
  }
  BrandContents contents;
  if (const std::string problem = ReadBrandContents(brandFile, contents); !problem.empty()) {
    return Report(brandFile, problem);
  }
  std::string version;
  if (const std::string problem = BrandedVersionBlock(in, contents.brand, version); !problem.empty()) {
    return Report(in, problem);
  }

  TemporaryFile temporary(FullPath(out) + L".tarrow-brand-" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
  if (!CopyFileW(in.c_str(), temporary.path().c_str(), TRUE) ||
      !SetFileAttributesW(temporary.path().c_str(), FILE_ATTRIBUTE_NORMAL)) {
    return Report(out, "cannot be written: " + SystemWords(GetLastError()));
  }
  ResourceUpdate update(temporary.path());
  update.Add(RT_RCDATA, kBrandTextId, BrandResourceText(contents.brand));
  if (!contents.picture.empty()) update.Add(RT_RCDATA, kPictureId, contents.picture);
  if (!contents.picture2x.empty()) update.Add(RT_RCDATA, kPicture2xId, contents.picture2x);
  if (contents.icon) {
    for (size_t i = 0; i < contents.icon->images.size(); ++i) {
      update.Add(RT_ICON, static_cast<WORD>(kFirstIconImageId + i), contents.icon->images[i]);
    }
    update.Add(RT_GROUP_ICON, kIconGroupId, contents.icon->group);
  }
  update.Add(RT_VERSION, kVersionId, version);
  if (!update.Commit()) return Report(out, "cannot take the resources: " + SystemWords(update.error()));
  if (!MoveFileExW(temporary.path().c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Report(out, "cannot be written: " + SystemWords(GetLastError()));
  }
  temporary.Keep();

  std::string done = "tarrow-brand: wrote " + WideToUtf8(out) + " for \"" + WideToUtf8(contents.brand.name) + "\"";
  if (!contents.picture.empty()) done += contents.picture2x.empty() ? ", a picture" : ", a picture at 1x and 2x";
  if (contents.icon) done += ", an icon of " + std::to_string(contents.icon->images.size()) + " images";
  PrintLine(STD_OUTPUT_HANDLE, done);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    PrintLine(STD_ERROR_HANDLE, "tarrow-brand: out of memory");
  } catch (...) {
    PrintLine(STD_ERROR_HANDLE, "tarrow-brand: stopped by an unexpected failure");
  }
  return kProblemExitCode;
}
