/* A library for the shared-library tests: each export records how it was called, and
 * copy_record hands the record to the caller's buffer. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

static char record[256];

int32_t copy_record(unsigned char* buffer) {
    strcpy((char*)buffer, record);
    return (int32_t)strlen(record);
}

int32_t no_arguments(void) {
    strcpy(record, "none");
    return 42;
}

int32_t take_i(int32_t a) {
    snprintf(record, sizeof record, "I %d", a);
    return a + 1;
}

int32_t take_id(int32_t a, double b) {
    snprintf(record, sizeof record, "ID %d %.17g", a, b);
    return b == 2.5 ? 1 : 0;
}

int32_t take_fds(float a, double b, const char* c) {
    snprintf(record, sizeof record, "FDS %.9g %.17g %s", a, b, c);
    return (int32_t)strlen(c);
}

int32_t fill(unsigned char* buffer, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        buffer[i] = (unsigned char)(0xA0 + i);
    return count;
}

/* Writes over the text it is given, as some exports do with their "output" texts. */
int32_t scribble(char* text) {
    int32_t length = (int32_t)strlen(text);
    memset(text, 'X', (size_t)length);
    return length;
}

int32_t negative(void) {
    return -5;
}
