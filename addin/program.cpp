#include "program.h"

#include <cstring>
#include <limits>

namespace pellwyn {

void Run(Markup& m, ProgramView p) {
    // 11: the longest number; kBlock: what the last block may write past the end.
    char* out = m.xml.Reserve(p.text.size() + p.steps.size() * 11 + kBlock);
    for (const Step& s : p.steps) {
        if (s.bump != Counter::None) {
            std::int32_t& n = m.counters[s.bump];
            if (n == std::numeric_limits<std::int32_t>::max()) {
                m.xml.Commit(out);  // the buffer keeps what was written so far
                ThrowCounterOverflow(s.bump);
            }
            ++n;
        }
        const char* from = p.text.data() + s.start;
        for (std::size_t i = 0; i < s.size; i += kBlock) std::memcpy(out + i, from + i, kBlock);
        out += s.size;
        if (s.number != Counter::None) out = WriteNumber(out, m.counters[s.number]);
    }
    m.xml.Commit(out);
}

}  // namespace pellwyn
