#pragma once
#include <string>
#include <vector>

// The user's preferred UI languages as tags ("de-DE", "ja-JP"), most
// preferred first: GetUserPreferredUILanguages where the system has it,
// else the tag of GetUserDefaultUILanguage; empty when neither answers.
std::vector<std::wstring> ReadPreferredUiLanguages();
