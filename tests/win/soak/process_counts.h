// What this process holds, as Windows' own tools report it: private bytes, kernel handles, GDI
// and USER objects. Wine 8 answers 0 to GetProcessHandleCount, to GetGuiResources and for
// PrivateUsage; there each figure is counted another way (see Sources()).
#pragma once

#include <cstdint>
#include <string>

namespace pellwyn::soak {

struct Counts {
    std::uint64_t privateBytes = 0;
    long handles = 0;
    long gdi = 0;
    long user = 0;
};

bool UnderWine() noexcept;
// Takes a few hundred milliseconds under Wine (it probes every possible handle value).
Counts Measure() noexcept;
// Where each figure comes from, for the report.
std::string Sources();

}  // namespace pellwyn::soak
