// Caches that fontconfig and pango's fontconfig back end keep for the life of
// the process are never freed; the leak checker is told so here, as in the
// test programs.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libpangoft2-1.0.so\n";
}
