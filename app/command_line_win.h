#pragma once
#include <string>
#include <vector>

// The process's command line split by the platform's quoting rules, program
// path excluded; empty when it cannot be split.
std::vector<std::wstring> ReadCommandLineWords();
