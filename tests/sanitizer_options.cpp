// Scene lists, names and records live for the whole run by design, so the
// tests that build them leak by design too; everything else is still checked.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}
