// Caches that fontconfig and pango's fontconfig back end keep for the life of
// the process are never freed, and the image library keeps the decoder of a
// JPEG it failed to read; the leak checker is told so here rather than
// through the environment, so every way of running the tests agrees.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libpangoft2-1.0.so\nleak:jinit_memory_mgr\nleak:jinit_marker_reader\n";
}
