// Caches that fontconfig and pango's fontconfig back end keep for the life of
// the process are never freed; the leak checker is told so here rather than
// through the environment, so every way of running the tests agrees.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libpangoft2-1.0.so\n";
}
