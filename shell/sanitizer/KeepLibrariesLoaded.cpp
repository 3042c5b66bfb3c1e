// The system's OpenGL driver is unloaded when the last context goes, before LeakSanitizer looks
// at the heap; the driver's own leftovers then show as leaks from an unknown module that no
// suppression can name. Keeping every library loaded in the test programs and the sanitizer game
// binary lets the suppressions of cmake/lsan.supp name them, while our own leaks are still
// reported. Never part of the normal game binary.
extern "C" int dlclose(void*)
{
    return 0;
}
