#pragma once
// A broken promise found by a fuzz target aborts it, which libFuzzer reports as a crash and
// saves the input for.
#include <QString>

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, detail)                                                        \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "%s:%d: %s failed: %s\n", __FILE__, __LINE__, #condition,   \
                         qUtf8Printable(QString(detail)));                                   \
            std::abort();                                                                    \
        }                                                                                    \
    } while (false)
