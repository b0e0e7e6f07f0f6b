/*
 * keep_libraries_loaded.c - preloaded into every program of the sanitizer
 * suite: dlclose does nothing, so each library a program opened (Mesa's GL
 * driver, SDL's video and sound back ends) stays mapped until it ends.
 *
 * LeakSanitizer looks for leaks when a program ends.  Memory that an
 * unloaded library still held through its own globals would then read as
 * leaked, and with no library left to name it could not be told from a leak
 * of ours.
 */
int dlclose(void* handle)
{
    (void)handle;
    return 0;
}
