// How long the add-in takes to build what Access asks for, beside a plain copy of the same
// number of bytes (the least any build of that text could cost); for an Access that knows
// every name and for Access 365, which lacks some and gets others under their new names; in
// English and in other languages (LCID 1031 German, 1041 Japanese, 1025 Arabic, 1054 Thai),
// where Access's controls carry no labels of ours and our own texts are translated.
#include "control_list.h"
#include "dynamic_menus.h"
#include "markup.h"
#include "ribbon.h"
#include "settings_store.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class BenchHost final : public pellwyn::Host {
public:
    std::int32_t objectType = pellwyn::kAcForm;
    pellwyn::ControlList controls;
    std::string Name() override { return "Microsoft Office Access"; }
    std::int32_t CurrentObjectType() override { return objectType; }
    bool IsPressed(std::string_view) override { return false; }
    std::optional<bool> KnowsControl(std::string_view idMso) override { return controls.Knows(idMso); }
    std::int32_t language = 1033;
    std::optional<std::int32_t> LanguageId() override { return language; }
};

// state.range(1): 1 for Access 365, 0 for an Access that knows every name; state.range(2):
// Access's language.
BenchHost HostFor(const benchmark::State& state) {
    BenchHost host;
    if (state.range(1)) host.controls = *pellwyn::ControlList::Published("365");
    host.language = static_cast<std::int32_t>(state.range(2));
    return host;
}

// state.range(0): the setting "All" (1: the menu bar is written twice). The questions to the
// host are asked once per connection, before the first iteration.
void BM_Document(benchmark::State& state) {
    kestrel::MemorySettings settings;
    settings.Put("All", state.range(0) ? "1" : "0");
    BenchHost host = HostFor(state);
    pellwyn::Markup markup;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string_view xml = pellwyn::GetRibbonXml(markup, host, settings);
        benchmark::DoNotOptimize(xml.data());
        bytes = xml.size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_Document)->ArgsProduct({{1, 0}, {0, 1}, {1033, 1031, 1041, 1025, 1054}});

// A plain copy of as many bytes as the document has, into a buffer that is kept, as the
// markup buffer is.
void BM_CopyOfDocument(benchmark::State& state) {
    kestrel::MemorySettings settings;
    settings.Put("All", state.range(0) ? "1" : "0");
    BenchHost host = HostFor(state);
    pellwyn::Markup markup;
    const std::string source(pellwyn::GetRibbonXml(markup, host, settings));
    std::string target;
    target.reserve(source.size());
    for (auto _ : state) {
        target.assign(source);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.counters["bytes"] = static_cast<double>(source.size());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
}
BENCHMARK(BM_CopyOfDocument)->ArgsProduct({{1, 0}, {0, 1}, {1033, 1031}});

// The largest getContent fragment: the Format menu for a form.
void BM_FormatMenuForForm(benchmark::State& state) {
    kestrel::MemorySettings settings;
    BenchHost host = HostFor(state);
    pellwyn::Markup markup;
    pellwyn::GetRibbonXml(markup, host, settings);
    for (auto _ : state) {
        markup.counters = {};  // keeps the ids the same length from one iteration to the next
        benchmark::DoNotOptimize(pellwyn::GetContent(markup, host, pellwyn::DynamicMenu::Format).data());
    }
}
BENCHMARK(BM_FormatMenuForForm)->ArgsProduct({{0}, {0, 1}, {1033, 1031, 1025, 1054}});

// The first document of a connection, questions included: each iteration a new connection
// asks about every doubtful name (and the successors of those Access 365 lacks) and the
// language again.
void BM_FirstDocumentOfAConnection(benchmark::State& state) {
    kestrel::MemorySettings settings;
    BenchHost host = HostFor(state);
    pellwyn::Markup markup;
    for (auto _ : state) {
        markup.names.Forget();
        markup.language.Forget();
        benchmark::DoNotOptimize(pellwyn::GetRibbonXml(markup, host, settings).data());
    }
}
BENCHMARK(BM_FirstDocumentOfAConnection)->ArgsProduct({{1}, {0, 1}, {1033, 1031, 1025, 1054}});

}  // namespace

BENCHMARK_MAIN();
