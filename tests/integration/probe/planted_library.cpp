// A library under a name no system has, built beside the tests: what an
// attacker would drop next to an executable. It does nothing.
extern "C" __declspec(dllexport) int TarrowPlantedLibrary() { return 1; }
