// Office's lists of disabled items with any values in them, then what OK does to them: a value
// is taken for ours exactly when the slow reference reading of fuzz_support.h says it names
// Pellwyn.dll, and re-enabling deletes exactly those in the version keys, each once, and
// nothing else. Each value is handed over in a buffer of its own size, so the sanitizer sees
// any read past it.
//
// Input: records of one byte choosing the key (12.0, 16.0, or a list outside any version key),
// one byte for the registry type (modulo 12; REG_BINARY is 3), two bytes of length
// (little-endian), then that many bytes of the value (fewer at the end of the input).
#include "disabled_items.h"
#include "fake_office.h"
#include "fuzz_support.h"

namespace {

using namespace menuvane;

constexpr const char* kVersions[] = {"12.0", "16.0", "Common"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testing::FakeOffice<OfficeSystem> office;
    std::vector<std::string> expected;
    for (std::size_t at = 0, n = 0; at + 4 <= size; ++n) {
        const char* version = kVersions[data[at] % std::size(kVersions)];
        const std::uint32_t type = data[at + 1] % 12u;
        const std::size_t length = std::min<std::size_t>(data[at + 2] | data[at + 3] << 8, size - at - 4);
        const std::vector<unsigned char> value(data + at + 4, data + at + 4 + length);
        at += 4 + length;

        const bool ours = fuzz::ReferenceNamesOurAddin(type, value);
        FUZZ_CHECK(NamesOurAddin(type, value) == ours, std::string(ours ? "ours, not taken" : "not ours, taken"));
        const std::string name = "v" + std::to_string(n);
        office.Set(Hive::CurrentUser, DisabledItemsPath(version), std::u16string(name.begin(), name.end()), type, value);
        if (ours && std::string_view(version) != "Common")
            expected.push_back("delete " + name + " of HKCU\\" + DisabledItemsPath(version));
    }
    std::vector<std::string> order;  // the fake lists keys in sorted order: 12.0 before 16.0
    for (const char* version : {"12.0", "16.0"})
        for (const std::string& line : expected)
            if (line.ends_with(DisabledItemsPath(version))) order.push_back(line);

    FUZZ_CHECK(ReenableAddIn(office) == static_cast<int>(order.size()), std::to_string(order.size()) + " expected");
    FUZZ_CHECK(office.log == order, office.log.empty() ? "nothing deleted" : office.log.front());
    for (const auto& [key, values] : office.keys)
        for (const RegistryValue& v : values)
            FUZZ_CHECK(!NamesOurAddin(v.type, v.data) || key.ends_with("Common\\Access\\Resiliency\\DisabledItems"), key);
    return 0;
}
