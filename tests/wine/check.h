// Minimal assertions for the tests that run under Wine: each failure names the caller's line.
#pragma once

#include <cstdio>
#include <cstring>

namespace check {

inline int passed = 0;
inline int failed = 0;
inline const char* currentCase = "";

inline void Record(bool ok, const char* what, const char* file, int line) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED %s:%d [%s] %s\n", file, line, currentCase, what);
}

inline void RecordText(const char* actual, const char* expected, const char* what, const char* file, int line) {
    const bool ok = std::strcmp(actual, expected) == 0;
    Record(ok, what, file, line);
    if (!ok) std::printf("    got \"%s\", want \"%s\"\n", actual, expected);
}

inline void RecordNumber(long long actual, long long expected, const char* what, const char* file, int line) {
    Record(actual == expected, what, file, line);
    if (actual != expected) std::printf("    got %lld, want %lld\n", actual, expected);
}

// Prints the closing tally that CTest's log and CI read; the exit code says whether all passed.
inline int Summary() {
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}

}  // namespace check

// The line reported is the one of the table row or call site passed in.
#define CHECK_AT(line, cond) check::Record((cond), #cond, __FILE__, (line))
#define CHECK_TEXT_AT(line, actual, expected) check::RecordText((actual), (expected), #actual, __FILE__, (line))
#define CHECK_NUMBER_AT(line, actual, expected) \
    check::RecordNumber(static_cast<long long>(actual), static_cast<long long>(expected), #actual, __FILE__, (line))
#define CHECK(cond) CHECK_AT(__LINE__, cond)
#define CHECK_TEXT(actual, expected) CHECK_TEXT_AT(__LINE__, actual, expected)
#define CHECK_NUMBER(actual, expected) CHECK_NUMBER_AT(__LINE__, actual, expected)
