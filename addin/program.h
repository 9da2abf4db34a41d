// Tables compiled at build time. The menu bar and the toolbar rows never change, and the
// document is rebuilt every time Access asks for it; so each table is walked once by the
// compiler, through the same writers and the same Emit that run at run time, and kept as a
// program: runs of literal text, each with at most one counter to advance before it and one
// counter number to write after it. Running the program does exactly what walking the table
// would, counters and overflow checks included, at the cost of a copy per run.
#pragma once

#include "markup.h"
#include "rows.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pellwyn {

struct Step {
    Counter bump;        // advanced (checked) before the text
    Counter number;      // written after the text
    std::uint16_t size;  // of the text
    std::uint32_t start; // of the text in the program's pool
};

// Runs are copied in blocks of kBlock bytes, which may read and write up to kBlock - 1 bytes
// past a run's end: the text pool is padded for it, and Run reserves the room.
inline constexpr std::size_t kBlock = 32;

struct ProgramView {
    std::string_view text;  // followed by kBlock readable bytes
    std::span<const Step> steps;
};

// Runs a program on the markup: appends its text with the counters' numbers between.
void Run(Markup& markup, ProgramView program);

namespace compile {

// The output the writers see while a table is compiled.
class Recorder {
public:
    explicit constexpr Recorder(std::int32_t barMode) : barMode_(barMode) {}

    constexpr void Bump(Counter c) {
        steps_.push_back({c, Counter::None, 0, static_cast<std::uint32_t>(text_.size())});
    }
    constexpr void Lit(std::string_view s) {
        if (s.empty()) return;
        if (steps_.empty() || steps_.back().number != Counter::None || steps_.back().size + s.size() > 0xFFFF)
            steps_.push_back({Counter::None, Counter::None, 0, static_cast<std::uint32_t>(text_.size())});
        text_.insert(text_.end(), s.begin(), s.end());
        steps_.back().size = static_cast<std::uint16_t>(steps_.back().size + s.size());
    }
    constexpr void Num(Counter c) {
        if (steps_.empty() || steps_.back().number != Counter::None)
            steps_.push_back({Counter::None, Counter::None, 0, static_cast<std::uint32_t>(text_.size())});
        steps_.back().number = c;
    }
    constexpr std::int32_t BarMode() const { return barMode_; }

    constexpr const std::vector<char>& text() const { return text_; }
    constexpr const std::vector<Step>& steps() const { return steps_; }

private:
    std::int32_t barMode_;
    // Not a std::string: clang 14 cannot evaluate libstdc++ 12's string at compile time.
    std::vector<char> text_;
    std::vector<Step> steps_;
};

template <std::size_t TextSize, std::size_t StepCount>
struct Program {
    std::array<char, TextSize + kBlock> text;  // the padding stays zero
    std::array<Step, StepCount> steps;
    constexpr operator ProgramView() const { return {{text.data(), TextSize}, steps}; }
};

template <const auto& Tables, std::int32_t BarMode>
constexpr Recorder RecordTables() {
    Recorder r(BarMode);
    for (std::span<const Row> table : Tables) Emit(r, table, OwnButtonPrefix(BarMode));
    return r;
}

}  // namespace compile

// Compiles what a recording function writes. The function runs at build time only.
template <compile::Recorder (*Record)()>
constexpr auto Compile() {
    constexpr std::size_t kTextSize = Record().text().size();
    constexpr std::size_t kStepCount = Record().steps().size();
    compile::Program<kTextSize, kStepCount> program{};
    const compile::Recorder r = Record();
    for (std::size_t i = 0; i < kTextSize; ++i) program.text[i] = r.text()[i];
    for (std::size_t i = 0; i < kStepCount; ++i) program.steps[i] = r.steps()[i];
    return program;
}

// Compiles a list of tables (an array of spans of rows) as the writers would write it in the
// given bar mode.
template <const auto& Tables, std::int32_t BarMode>
constexpr auto Compile() {
    return Compile<&compile::RecordTables<Tables, BarMode>>();
}

}  // namespace pellwyn
