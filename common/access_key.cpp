#include "access_key.h"

namespace kestrel {
namespace {

// The length of the UTF-8 sequence that starts with this byte (1 for a stray continuation byte).
std::size_t SequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

}  // namespace

std::string_view AccessKeyOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {  // a drawn "&"
            ++i;
            continue;
        }
        const std::size_t n = SequenceLength(static_cast<unsigned char>(caption[i + 1]));
        return caption.substr(i + 1, n);
    }
    return {};
}

std::string WithoutAccessKeyMark(std::string_view caption) {
    std::string drawn;
    drawn.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;  // the mark goes; of "&&" one stays
        else if (caption[i] == '&') continue;                   // a last, lone "&" marks nothing
        drawn += caption[i];
    }
    return drawn;
}

}  // namespace kestrel
