/* The export the CallFunction benchmark calls: an integer, a double and a text. */
#include <stdint.h>
#include <string.h>

int32_t take_ids(int32_t a, double b, const char* c) {
    return a + (int32_t)b + (int32_t)strlen(c);
}
