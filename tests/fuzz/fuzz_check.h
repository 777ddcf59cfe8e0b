// The fuzz targets' assertion: a broken property ends the run as a crash,
// naming the property, so libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "session/session.h"

#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "fuzz check failed at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)

// Every input runs in a session of its own, so that no input depends on what
// an earlier one left behind and a kept input crashes again on its own.
struct FuzzSession {
  trendolin::Session session;
  trendolin::SessionScope bound{session};
};
